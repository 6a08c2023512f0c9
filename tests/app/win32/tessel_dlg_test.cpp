#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "app/shared/details_summary.h"
#include "app/shared/dialog_template.h"
#include "app/shared/ui_strings.h"
#include "app/win32/tessel_dlg.h"
#include "app/win32/wide_text.h"
#include "model/log.h"
#include "win32_test_support.h"

namespace {

// The file dialogs take plain functions; the answers and questions live here.
struct FileDialogAnswers {
    std::wstring input;   ///< empty: the user cancels
    std::wstring output;  ///< empty: the user cancels
    std::vector<std::wstring> proposedNames;
} g_answers;

std::wstring AnswerInput(HWND) {
    return g_answers.input;
}

std::wstring AnswerOutput(HWND, const std::wstring& proposedName) {
    g_answers.proposedNames.push_back(proposedName);
    return g_answers.output;
}

// What each details dialog showed; the watcher closes it as a user would with OK.
struct DetailsSeen {
    std::wstring text;
    HWND owner;
};
std::vector<DetailsSeen> g_details;

void CALLBACK CloseDetailsWhenShown(HWND, UINT, UINT_PTR, DWORD) {
    HWND details = FindWindowW(L"#32770", L"Details");
    if (details == nullptr || !IsWindowVisible(details)) {
        return;
    }
    g_details.push_back({ItemText(details, IDC_LOG), GetWindow(details, GW_OWNER)});
    SendMessageW(GetDlgItem(details, IDOK), BM_CLICK, 0, 0);
}

std::string ReadFile(const std::wstring& path) {
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

class Win32MainDialogTest : public testing::Test {
  protected:
    void SetUp() override {
        g_answers = {};
        g_details.clear();
        state.m_fileDialogs = {AnswerInput, AnswerOutput};
        ASSERT_NO_FATAL_FAILURE(Open());
        existing = folder.File(L"cut.aaf");
        std::ofstream(std::filesystem::path(existing)) << "not really AAF";
        timer = SetTimer(nullptr, 0, 20, CloseDetailsWhenShown);
    }

    void TearDown() override {
        KillTimer(nullptr, timer);
        if (dialog != nullptr) {
            DestroyWindow(dialog);
        }
    }

    void Open() {
        dialog = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_TESSEL_DIALOG), nullptr,
                                    TesselDlgProc, reinterpret_cast<LPARAM>(&state));
        ASSERT_NE(dialog, nullptr);
    }

    HWND Item(int id) const { return GetDlgItem(dialog, id); }
    void Click(int id) const { SendMessageW(Item(id), BM_CLICK, 0, 0); }
    void Type(const std::wstring& text) const {
        SetDlgItemTextW(dialog, IDC_AAF_PATH, text.c_str());
    }
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }

    /// Converts `input` through the buttons and waits until the details dialog was closed.
    void Convert(const std::wstring& input, const std::wstring& output) {
        Type(input);
        g_answers.output = output;
        Click(IDC_SAVE);
        ASSERT_TRUE(PumpMessagesUntil(
            [&] { return !g_details.empty() && state.m_state != MainDialogState::kConverting; }));
    }

    HINSTANCE instance = GetModuleHandleW(nullptr);
    ScratchFolder folder;
    std::wstring existing;
    CTesselDlg state{instance};
    HWND dialog = nullptr;
    UINT_PTR timer = 0;
};

}  // namespace

TEST_F(Win32MainDialogTest, StartsAsTheTemplateSays) {
    EXPECT_EQ(WindowText(dialog), L"Tessel Converter");
    EXPECT_TRUE(Enabled(IDC_BROWSE_AAF));
    EXPECT_FALSE(Enabled(IDC_SAVE));
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_RENAME_AVI), BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_PORTABLE), BST_UNCHECKED);
    EXPECT_EQ(ItemText(dialog, IDC_AAF_PATH), L"");
    EXPECT_EQ(ItemText(dialog, IDC_STATUS), L"");
    EXPECT_EQ(ItemText(dialog, IDC_RENAME_AVI), L"*.avi zu *.mov umbenennen");
    EXPECT_EQ(ItemText(dialog, IDC_BROWSE_AAF), L"...");
    EXPECT_EQ(GetLogTarget(), &state);
    EXPECT_EQ(LOWORD(SendMessageW(dialog, DM_GETDEFID, 0, 0)), IDOK);
    EXPECT_NE(SendMessageW(dialog, WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_NE(GetWindowLongW(dialog, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
    EXPECT_NE(GetWindowLongW(Item(IDC_STATUS), GWL_STYLE) & SS_SUNKEN, 0);

    // The user's interface language picks the texts.
    const int base = StringTableBaseForLanguageId(GetUserDefaultUILanguage());
    EXPECT_EQ(ItemText(dialog, IDC_INPUT_PROMPT), WideFromUtf8(UiString(base)));
    EXPECT_EQ(ItemText(dialog, IDC_OUTPUT_PROMPT), WideFromUtf8(UiString(base + 1)));
    EXPECT_EQ(ItemText(dialog, IDOK), WideFromUtf8(UiString(base + 2)));
    EXPECT_EQ(ItemText(dialog, IDC_SAVE), WideFromUtf8(UiString(base + 3)));
    EXPECT_EQ(ItemText(dialog, IDC_PORTABLE), WideFromUtf8(UiString(base + kPortableString)));
}

TEST_F(Win32MainDialogTest, GermanForEveryGermanLanguageEnglishForAnyOther) {
    const struct {
        LANGID language;
        const wchar_t* quit;
        const wchar_t* portable;
    } cases[] = {
        {MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), L"Beenden", L"Portable Fassung"},
        {MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN_SWISS), L"Beenden", L"Portable Fassung"},
        {MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN_AUSTRIAN), L"Beenden", L"Portable Fassung"},
        {MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_UK), L"Quit", L"Portable form"},
        {MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH), L"Quit", L"Portable form"},
    };
    for (const auto& c : cases) {
        DestroyWindow(dialog);
        state.m_uiLanguage = c.language;
        ASSERT_NO_FATAL_FAILURE(Open());
        EXPECT_EQ(ItemText(dialog, IDOK), c.quit) << c.language;
        EXPECT_EQ(ItemText(dialog, IDC_PORTABLE), c.portable) << c.language;
        const bool german = PRIMARYLANGID(c.language) == LANG_GERMAN;
        EXPECT_EQ(ItemText(dialog, IDC_INPUT_PROMPT),
                  german ? L"Bitte aus Edius exportierte *.aaf Datei ausw\u00E4hlen:"
                         : L"Please select the exported *.aaf file of Edius:")
            << c.language;
        EXPECT_EQ(ItemText(dialog, IDC_SAVE), german ? L"Speichern..." : L"Save...");
        // Not translated.
        EXPECT_EQ(ItemText(dialog, IDC_RENAME_AVI), L"*.avi zu *.mov umbenennen");
    }
}

TEST_F(Win32MainDialogTest, ControlsSitWhereTheirDialogUnitsSayInTabOrder) {
    RECT client;
    GetClientRect(dialog, &client);
    const RECT size = DialogUnitsRect(dialog, 0, 0, TESSEL_DIALOG_SIZE);
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);

    const struct {
        int id;
        RECT units;
    } controls[] = {
        {IDOK, {TESSEL_QUIT_RECT}},
        {IDC_INPUT_PROMPT, {TESSEL_INPUT_PROMPT_RECT}},
        {IDC_BROWSE_AAF, {TESSEL_BROWSE_RECT}},
        {IDC_AAF_PATH, {TESSEL_AAF_PATH_RECT}},
        {IDC_OUTPUT_PROMPT, {TESSEL_OUTPUT_PROMPT_RECT}},
        {IDC_SAVE, {TESSEL_SAVE_RECT}},
        {IDC_STATUS, {TESSEL_STATUS_RECT}},
        {IDC_WORDMARK, {TESSEL_WORDMARK_RECT}},
        {IDC_RENAME_AVI, {TESSEL_RENAME_AVI_RECT}},
        {IDC_PORTABLE, {TESSEL_PORTABLE_RECT}},
    };
    for (const auto& c : controls) {
        const RECT wanted =
            DialogUnitsRect(dialog, c.units.left, c.units.top, c.units.right, c.units.bottom);
        const RECT actual = ItemRect(dialog, c.id);
        EXPECT_EQ(actual.left, wanted.left) << c.id;
        EXPECT_EQ(actual.top, wanted.top) << c.id;
        EXPECT_EQ(actual.right, wanted.right) << c.id;
        EXPECT_EQ(actual.bottom, wanted.bottom) << c.id;
    }

    // Quit, "...", the edit, Save, the check boxes; a disabled Save is passed over.
    Type(existing);
    const int order[] = {IDOK,           IDC_BROWSE_AAF, IDC_AAF_PATH, IDC_SAVE,
                         IDC_RENAME_AVI, IDC_PORTABLE,   IDOK};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i) {
        EXPECT_EQ(GetNextDlgTabItem(dialog, Item(order[i]), FALSE), Item(order[i + 1])) << order[i];
    }
    Type(L"");
    EXPECT_EQ(GetNextDlgTabItem(dialog, Item(IDC_AAF_PATH), FALSE), Item(IDC_RENAME_AVI));
}

TEST_F(Win32MainDialogTest, StringTableHoldsTheSharedTexts) {
    for (int base : {kGermanStringBase, kEnglishStringBase}) {
        for (int role : {kInputPromptString, kOutputPromptString, kQuitString, kSaveString,
                         kPortableString, kPortableTipString}) {
            wchar_t text[512] = {};
            LoadStringW(instance, static_cast<UINT>(base + role), text, 512);
            EXPECT_EQ(text, WideFromUtf8(UiString(base + role))) << base + role;
        }
    }
}

TEST_F(Win32MainDialogTest, AnExistingInputEnablesSaveAMissingOneDisablesIt) {
    Type(existing);
    EXPECT_EQ(state.m_aafPath, existing);
    EXPECT_TRUE(Enabled(IDC_SAVE));
    Type(existing.substr(0, existing.size() - 1));
    EXPECT_FALSE(Enabled(IDC_SAVE));
    Type(folder.Path());  // any file or folder will do
    EXPECT_TRUE(Enabled(IDC_SAVE));
    Type(L"");
    EXPECT_FALSE(Enabled(IDC_SAVE));
}

TEST_F(Win32MainDialogTest, BrowsingSetsThePathAndCancellingChangesNothing) {
    g_answers.input = existing;
    Click(IDC_BROWSE_AAF);
    EXPECT_EQ(ItemText(dialog, IDC_AAF_PATH), existing);
    EXPECT_TRUE(Enabled(IDC_SAVE));

    g_answers.input.clear();
    Click(IDC_BROWSE_AAF);
    EXPECT_EQ(ItemText(dialog, IDC_AAF_PATH), existing);
    EXPECT_TRUE(Enabled(IDC_SAVE));
}

TEST_F(Win32MainDialogTest, CancelledSaveProposesTheNameAndStartsNothing) {
    state.TakeLogLine(kLogProgress, "earlier line\r\n");
    Type(existing);
    Click(IDC_SAVE);
    ASSERT_EQ(g_answers.proposedNames.size(), 1u);
    EXPECT_EQ(g_answers.proposedNames[0], folder.File(L"cut"));
    EXPECT_EQ(state.m_state, MainDialogState::kInputReady);
    EXPECT_EQ(state.m_progress.Log(), "earlier line\r\n");
    EXPECT_TRUE(Enabled(IDC_BROWSE_AAF));
    EXPECT_TRUE(Enabled(IDC_SAVE));
}

TEST_F(Win32MainDialogTest, ErrorsAndMilestonesBecomeTheStatusLine) {
    LogLine("Finished!", kLogMilestone);
    EXPECT_EQ(ItemText(dialog, IDC_STATUS), L"Finished!");
    LogLine("Convertion done.", kLogProgress);
    LogLine("Found more than one title text in a.etl", kLogWarning);
    EXPECT_EQ(ItemText(dialog, IDC_STATUS), L"Finished!");
    LogLine("Cannot open Ü.aaf", kLogError);
    EXPECT_EQ(ItemText(dialog, IDC_STATUS), L"Cannot open \u00DC.aaf");
    EXPECT_EQ(state.m_progress.Log(),
              "Finished!\r\nConvertion done.\r\nFound more than one title text in a.etl\r\n"
              "Cannot open Ü.aaf\r\n");
}

TEST_F(Win32MainDialogTest, ALineFromAnotherThreadIsInTheLogWhenLogLineReturns) {
    bool inLogOnReturn = false;
    bool done = false;
    std::thread worker([&] {
        LogLine("Processing Sequence: Cut", kLogProgress);
        inLogOnReturn = state.m_progress.Log() == "Processing Sequence: Cut\r\n";
        done = true;
    });
    const bool finished = PumpMessagesUntil([&] { return done; });
    worker.join();
    ASSERT_TRUE(finished);
    EXPECT_TRUE(inLogOnReturn);
}

TEST_F(Win32MainDialogTest, ConvertsTheExampleThroughItsButtonsAndShowsTheDetails) {
    const std::wstring input = WindowsPath(TESSEL_SOURCE_DIR "/examples/edius_example.aaf");
    const std::wstring output = folder.File(L"edius_example.xml");
    LogLine("Cannot open an earlier file", kLogError);
    ASSERT_NO_FATAL_FAILURE(Convert(input, output));

    ASSERT_EQ(g_answers.proposedNames.size(), 1u);
    EXPECT_EQ(g_answers.proposedNames[0], input.substr(0, input.size() - 4));
    EXPECT_EQ(state.m_xmlPath, output);
    EXPECT_EQ(state.m_conversionStatus, ConversionStatus::kSucceeded);

    const std::string& log = state.m_progress.Log();
    EXPECT_TRUE(log.starts_with("Start of Convertion...\r\nProcessing Sequence: ")) << log;
    EXPECT_TRUE(log.ends_with("Finished!\r\n")) << log;
    EXPECT_NE(log.find("Processing Track #1\r\n"), std::string::npos) << log;
    EXPECT_EQ(ItemText(dialog, IDC_STATUS), L"Finished!");

    ASSERT_EQ(g_details.size(), 1u);
    // The log as it is, then the summary after an empty line.
    EXPECT_EQ(g_details[0].text, WideFromUtf8(log + "\r\n" + DetailsSummary(state.m_report)));
    EXPECT_NE(g_details[0].text.find(L" source clips written"), std::wstring::npos);
    EXPECT_EQ(g_details[0].owner, dialog);
    EXPECT_TRUE(Enabled(IDC_BROWSE_AAF));
    EXPECT_TRUE(Enabled(IDC_SAVE));

    const std::string document = ReadFile(output);
    EXPECT_TRUE(document.starts_with("<?xml")) << document.substr(0, 100);
    EXPECT_NE(document.find("<xmeml version=\"4\">"), std::string::npos);
    EXPECT_NE(document.find("<sequence"), std::string::npos);

    // The next conversion's log starts afresh.
    ASSERT_NO_FATAL_FAILURE(Convert(input, folder.File(L"second.xml")));
    EXPECT_EQ(state.m_progress.Log(), log);
}

TEST_F(Win32MainDialogTest, AnInputThatCannotBeOpenedStillEndsWithTheDetails) {
    ASSERT_NO_FATAL_FAILURE(Convert(existing, folder.File(L"out.xml")));
    EXPECT_EQ(state.m_conversionStatus, ConversionStatus::kInputNotOpened);
    EXPECT_TRUE(state.m_progress.Log().starts_with("Start of Convertion...\r\nCannot open "));
    EXPECT_NE(ItemText(dialog, IDC_STATUS).find(L"Cannot open "), std::wstring::npos);
    ASSERT_EQ(g_details.size(), 1u);
    EXPECT_TRUE(Enabled(IDC_SAVE));
    EXPECT_FALSE(std::filesystem::exists(folder.File(L"out.xml")));
}

TEST_F(Win32MainDialogTest, QuitDuringAConversionEndsTheDialogOnceTheWorkerHas) {
    ShowWindow(dialog, SW_SHOW);  // a modeless dialog's end shows as hiding it
    Type(WindowsPath(TESSEL_SOURCE_DIR "/examples/edius_example.aaf"));
    g_answers.output = folder.File(L"quit.xml");
    Click(IDC_SAVE);
    ASSERT_EQ(state.m_state, MainDialogState::kConverting);
    EXPECT_FALSE(Enabled(IDC_BROWSE_AAF));
    EXPECT_FALSE(Enabled(IDC_SAVE));
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_AAF_PATH)));

    // Typing during the conversion offers no second one.
    Type(existing);
    EXPECT_FALSE(Enabled(IDC_SAVE));

    SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(IsWindowVisible(dialog));  // still there: the worker reports to it
    ASSERT_TRUE(PumpMessagesUntil([&] { return !IsWindowVisible(dialog); }));
    EXPECT_EQ(state.m_worker, nullptr);
    EXPECT_TRUE(g_details.empty());
    EXPECT_TRUE(state.m_progress.Log().ends_with("Finished!\r\n"));
}

TEST_F(Win32MainDialogTest, ADestroyedDialogIsNoLongerTheLogTarget) {
    DestroyWindow(dialog);
    dialog = nullptr;
    EXPECT_EQ(GetLogTarget(), nullptr);
    LogLine("dropped", kLogMilestone);
    EXPECT_TRUE(state.m_progress.Log().empty());
}
