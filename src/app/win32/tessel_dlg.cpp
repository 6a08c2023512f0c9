#include "app/win32/tessel_dlg.h"

#include <commctrl.h>

#include <memory>
#include <utility>

#include "app/shared/default_output_name.h"
#include "app/shared/details_summary.h"
#include "app/shared/dialog_template.h"
#include "app/shared/ui_strings.h"
#include "app/win32/details_dlg.h"
#include "app/win32/wide_text.h"

#define TESSEL_RGB(...) RGB(__VA_ARGS__)

namespace {

struct WorkerStart {
    CTesselDlg* dialog;
    ConversionRequest request;
};

DWORD WINAPI WorkerMain(LPVOID parameter) {
    const std::unique_ptr<WorkerStart> start(static_cast<WorkerStart*>(parameter));
    ConversionThread(start->request, start->dialog);
    return 0;
}

std::wstring LoadUiText(HINSTANCE instance, int id) {
    // With a zero length LoadString hands out the read-only resource text itself.
    const wchar_t* text = nullptr;
    const int length =
        LoadStringW(instance, static_cast<UINT>(id), reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 ? std::wstring(text, static_cast<std::size_t>(length)) : std::wstring();
}

std::wstring ItemText(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(item)) + 1, L'\0');
    const int length = GetWindowTextW(item, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(length > 0 ? length : 0));
    return text;
}

void SetState(CTesselDlg& dlg, MainDialogState state) {
    dlg.m_state = state;
    const FileButtons buttons = ButtonsFor(state);
    EnableWindow(GetDlgItem(dlg.m_hWnd, IDC_BROWSE_AAF), buttons.browse);
    EnableWindow(GetDlgItem(dlg.m_hWnd, IDC_SAVE), buttons.save);
}

// A tool tip over one control, wrapped to a readable width.
void AddToolTip(CTesselDlg& dlg, int control, std::wstring text) {
    HWND tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                               dlg.m_hWnd, nullptr, dlg.m_instance, nullptr);
    if (tip == nullptr) {
        return;
    }
    TTTOOLINFOW tool = {};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = dlg.m_hWnd;
    tool.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(dlg.m_hWnd, control));
    tool.lpszText = text.data();
    SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, 360);
}

BOOL OnInitDialog(CTesselDlg& dlg, HWND dialog) {
    dlg.m_hWnd = dialog;
    dlg.m_brush = CreateSolidBrush(TESSEL_RGB(TESSEL_BACKGROUND_RGB));
    SetLogTarget(&dlg);
    SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(dlg.m_hIcon));
    SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(dlg.m_hIcon));

    const int base = StringTableBaseForLanguageId(dlg.m_uiLanguage);
    const struct {
        int control;
        int role;
    } texts[] = {
        {IDC_INPUT_PROMPT, kInputPromptString},
        {IDC_OUTPUT_PROMPT, kOutputPromptString},
        {IDC_SAVE, kSaveString},
        {IDOK, kQuitString},
        {IDC_PORTABLE, kPortableString},
    };
    for (const auto& t : texts) {
        SetDlgItemTextW(dialog, t.control, LoadUiText(dlg.m_instance, base + t.role).c_str());
    }

    AddToolTip(dlg, IDC_PORTABLE, LoadUiText(dlg.m_instance, base + kPortableTipString));

    CheckDlgButton(dialog, IDC_RENAME_AVI, BST_CHECKED);
    CheckDlgButton(dialog, IDC_PORTABLE, BST_UNCHECKED);  // the plain form at every start
    SetState(dlg, MainDialogState::kNoInput);
    return TRUE;  // the first tab stop gets the focus
}

void OnInputChanged(CTesselDlg& dlg) {
    if (GetDlgItem(dlg.m_hWnd, IDC_SAVE) == nullptr) {
        return;
    }
    dlg.m_aafPath = ItemText(dlg.m_hWnd, IDC_AAF_PATH);
    // A file or a folder will do; the conversion reports what it cannot read.
    const bool exists = !dlg.m_aafPath.empty() &&
                        GetFileAttributesW(dlg.m_aafPath.c_str()) != INVALID_FILE_ATTRIBUTES;
    SetState(dlg, StateAfterInputChange(dlg.m_state, exists));
}

void OnBrowseAaf(CTesselDlg& dlg) {
    const std::wstring chosen = dlg.m_fileDialogs.chooseInput(dlg.m_hWnd);
    if (chosen.empty()) {
        return;
    }
    dlg.m_aafPath = chosen;
    SetDlgItemTextW(dlg.m_hWnd, IDC_AAF_PATH, chosen.c_str());
    OnInputChanged(dlg);  // also when the edit held the same text already
}

void OnSave(CTesselDlg& dlg) {
    if (dlg.m_state == MainDialogState::kConverting) {
        return;
    }
    const std::wstring proposed = WideFromUtf8(DefaultOutputName(Utf8FromWide(dlg.m_aafPath)));
    const std::wstring chosen = dlg.m_fileDialogs.chooseOutput(dlg.m_hWnd, proposed);
    if (chosen.empty()) {
        return;
    }
    dlg.m_xmlPath = chosen;
    dlg.m_progress.StartConversion();
    SetState(dlg, MainDialogState::kConverting);

    // The worker gets copies: whatever is typed or ticked from now on is for the next run.
    auto start = std::make_unique<WorkerStart>();
    start->dialog = &dlg;
    start->request.inputPath = Utf8FromWide(dlg.m_aafPath);
    start->request.outputPath = Utf8FromWide(dlg.m_xmlPath);
    start->request.renameAviToMov = IsDlgButtonChecked(dlg.m_hWnd, IDC_RENAME_AVI) == BST_CHECKED;
    start->request.portable = IsDlgButtonChecked(dlg.m_hWnd, IDC_PORTABLE) == BST_CHECKED;
    start->request.report = &dlg.m_report;

    LogLine("Start of Convertion...", kLogMilestone);

    dlg.m_worker = CreateThread(nullptr, 0, WorkerMain, start.get(), 0, nullptr);
    if (dlg.m_worker == nullptr) {
        LogLine("Cannot start the conversion: the system has no thread to spare.", kLogError);
        SetState(dlg, MainDialogState::kNoInput);
        OnInputChanged(dlg);
        return;
    }
    start.release();  // the worker owns it now
}

void OnConversionDone(CTesselDlg& dlg) {
    if (dlg.m_worker == nullptr) {
        return;
    }
    // The worker posts as its last step, so this wait is short and it logs nothing more.
    WaitForSingleObject(dlg.m_worker, INFINITE);
    CloseHandle(dlg.m_worker);
    dlg.m_worker = nullptr;
    SetState(dlg, MainDialogState::kInputReady);  // whether or not the input still exists
    if (dlg.m_closeRequested) {
        EndDialog(dlg.m_hWnd, IDCANCEL);
        return;
    }
    // The summary follows the log after an empty line; the log itself is shown as it is.
    const std::string summary = DetailsSummary(dlg.m_report);
    CDetailsDlg details{WideFromUtf8(summary.empty() ? dlg.m_progress.Log()
                                                     : dlg.m_progress.Log() + "\r\n" + summary)};
    RunDetailsDlg(dlg.m_instance, dlg.m_hWnd, details);
}

void OnLogLine(CTesselDlg& dlg, int kind, const std::string& line) {
    if (dlg.m_progress.Take(kind, line)) {
        SetDlgItemTextW(dlg.m_hWnd, IDC_STATUS, WideFromUtf8(dlg.m_progress.ShownStatus()).c_str());
    }
}

void OnPaintMinimised(const CTesselDlg& dlg, HWND dialog) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(dialog, &paint);
    SendMessageW(dialog, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(dialog, &client);
    const int x = (client.right - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, dlg.m_hIcon);
    EndPaint(dialog, &paint);
}

}  // namespace

CTesselDlg::CTesselDlg(HINSTANCE instance)
    : m_instance(instance), m_hIcon(LoadIconW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME))) {}

CTesselDlg::~CTesselDlg() {
    if (m_brush != nullptr) {
        DeleteObject(m_brush);
    }
}

void CTesselDlg::TakeLogLine(int kind, std::string line) {
    if (m_hWnd == nullptr) {
        return;
    }
    // Sent, not posted: the worker waits until the dialog's thread has taken the line in.
    SendMessageW(m_hWnd, WM_LOG_LINE, static_cast<WPARAM>(kind), reinterpret_cast<LPARAM>(&line));
}

void CTesselDlg::PostConversionDone(ConversionStatus status) {
    m_conversionStatus = status;
    PostMessageW(m_hWnd, WM_CONVERSION_DONE, 0, 0);
}

INT_PTR CALLBACK TesselDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        return OnInitDialog(*reinterpret_cast<CTesselDlg*>(lParam), dialog);
    }
    auto* dlg = reinterpret_cast<CTesselDlg*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (dlg == nullptr) {
        return FALSE;
    }
    switch (message) {
        case WM_LOG_LINE:
            OnLogLine(*dlg, static_cast<int>(wParam),
                      *reinterpret_cast<const std::string*>(lParam));
            return TRUE;
        case WM_CONVERSION_DONE:
            OnConversionDone(*dlg);
            return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDC_BROWSE_AAF:
                    if (HIWORD(wParam) == BN_CLICKED) {
                        OnBrowseAaf(*dlg);
                    }
                    return TRUE;
                case IDC_SAVE:
                    if (HIWORD(wParam) == BN_CLICKED) {
                        OnSave(*dlg);
                    }
                    return TRUE;
                case IDC_AAF_PATH:
                    if (HIWORD(wParam) == EN_CHANGE) {
                        OnInputChanged(*dlg);
                    }
                    return TRUE;
                case IDOK:
                case IDCANCEL:
                    // The worker reports to this window until it posts its end.
                    if (dlg->m_state == MainDialogState::kConverting) {
                        dlg->m_closeRequested = true;
                    } else {
                        EndDialog(dialog, LOWORD(wParam));
                    }
                    return TRUE;
                default:
                    return FALSE;
            }
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSTATIC:
            // Dialog, statics and check box on light grey; the edit keeps its own background.
            SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
            return reinterpret_cast<INT_PTR>(dlg->m_brush);
        case WM_PAINT:
            if (IsIconic(dialog)) {
                OnPaintMinimised(*dlg, dialog);
                return TRUE;
            }
            return FALSE;
        case WM_QUERYDRAGICON:
            return reinterpret_cast<INT_PTR>(dlg->m_hIcon);
        case WM_DESTROY:
            // Lines logged from now on are dropped instead of reaching a window that is gone.
            if (GetLogTarget() == dlg) {
                SetLogTarget(nullptr);
            }
            dlg->m_hWnd = nullptr;
            DeleteObject(dlg->m_brush);
            dlg->m_brush = nullptr;
            return FALSE;
        default:
            return FALSE;
    }
}

INT_PTR RunTesselDlg(CTesselDlg& state) {
    return DialogBoxParamW(state.m_instance, MAKEINTRESOURCEW(IDD_TESSEL_DIALOG), nullptr,
                           TesselDlgProc, reinterpret_cast<LPARAM>(&state));
}
