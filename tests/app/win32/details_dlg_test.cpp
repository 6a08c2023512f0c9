#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "app/shared/dialog_template.h"
#include "app/win32/details_dlg.h"
#include "win32_test_support.h"

namespace {

class Win32DetailsDialogTest : public testing::Test {
  protected:
    void Open(std::wstring text) {
        details.m_text = std::move(text);
        dialog = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_DETAILS),
                                    nullptr, DetailsDlgProc, reinterpret_cast<LPARAM>(&details));
        ASSERT_NE(dialog, nullptr);
        // The first layout is posted by the dialog itself.
        ASSERT_TRUE(PumpMessagesUntil([&] { return ItemRect(dialog, IDC_LOG).left == 10; }));
    }

    void TearDown() override {
        if (dialog != nullptr) {
            DestroyWindow(dialog);
        }
    }

    void ExpectLaidOutFor(int cx, int cy) {
        const RECT ok = ItemRect(dialog, IDOK);
        const RECT log = ItemRect(dialog, IDC_LOG);
        EXPECT_EQ(ok.right, cx - 10);
        EXPECT_EQ(ok.bottom, cy - 10);
        EXPECT_EQ(log.left, 10);
        EXPECT_EQ(log.top, 10);
        EXPECT_EQ(log.right, cx - 10);
        EXPECT_EQ(log.bottom, cy - (ok.bottom - ok.top) - 20);
    }

    CDetailsDlg details;
    HWND dialog = nullptr;
};

}  // namespace

TEST_F(Win32DetailsDialogTest, ShowsTheLogReadOnlyInTheTemplatesFrame) {
    ASSERT_NO_FATAL_FAILURE(Open(L"Start of Convertion...\r\nFinished!\r\n"));
    EXPECT_EQ(WindowText(dialog), L"Details");
    EXPECT_EQ(ItemText(dialog, IDC_LOG), L"Start of Convertion...\r\nFinished!\r\n");
    EXPECT_EQ(ItemText(dialog, IDOK), L"OK");
    const LONG editStyle = GetWindowLongW(GetDlgItem(dialog, IDC_LOG), GWL_STYLE);
    EXPECT_NE(editStyle & ES_READONLY, 0);
    EXPECT_NE(editStyle & ES_MULTILINE, 0);
    EXPECT_NE(editStyle & WS_VSCROLL, 0);
    EXPECT_NE(GetWindowLongW(dialog, GWL_STYLE) & WS_THICKFRAME, 0);

    RECT client;
    GetClientRect(dialog, &client);
    const RECT size = DialogUnitsRect(dialog, 0, 0, TESSEL_DETAILS_SIZE);
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);
    ExpectLaidOutFor(client.right, client.bottom);
}

TEST_F(Win32DetailsDialogTest, ResizingKeepsOkInTheCornerAndMinimisingChangesNothing) {
    ASSERT_NO_FATAL_FAILURE(Open(L"line\r\n"));
    SetWindowPos(dialog, nullptr, 0, 0, 700, 500, SWP_NOMOVE | SWP_NOZORDER);
    RECT client;
    GetClientRect(dialog, &client);
    ExpectLaidOutFor(client.right, client.bottom);

    const RECT before = ItemRect(dialog, IDC_LOG);
    SendMessageW(dialog, WM_SIZE, SIZE_MINIMIZED, 0);
    SendMessageW(dialog, WM_SIZE, SIZE_RESTORED, MAKELPARAM(0, 300));
    const RECT after = ItemRect(dialog, IDC_LOG);
    EXPECT_EQ(after.right, before.right);
    EXPECT_EQ(after.bottom, before.bottom);
}

TEST_F(Win32DetailsDialogTest, ALongLogIsShownWholeAndAnEmptyOneEmpty) {
    std::wstring log;
    for (int i = 0; log.size() < 200000; ++i) {
        log += L"Processing Track #" + std::to_wstring(i) + L"\r\n";
    }
    ASSERT_NO_FATAL_FAILURE(Open(log));
    EXPECT_EQ(ItemText(dialog, IDC_LOG), log);
    DestroyWindow(dialog);

    ASSERT_NO_FATAL_FAILURE(Open(L""));
    EXPECT_EQ(ItemText(dialog, IDC_LOG), L"");
}
