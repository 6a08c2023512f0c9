#include "app/win32/details_dlg.h"

#include "app/shared/dialog_template.h"

namespace {

constexpr int kMargin = 10;  // pixels between the controls and the client area's edges

void LayOut(HWND dialog, UINT type, int cx, int cy) {
    HWND ok = GetDlgItem(dialog, IDOK);
    if (type == SIZE_MINIMIZED || cx == 0 || cy == 0 || ok == nullptr) {
        return;
    }
    RECT okRect;
    GetWindowRect(ok, &okRect);
    const int w = okRect.right - okRect.left;
    const int h = okRect.bottom - okRect.top;
    SetWindowPos(ok, nullptr, cx - w - kMargin, cy - h - kMargin, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(GetDlgItem(dialog, IDC_LOG), nullptr, kMargin, kMargin, cx - 2 * kMargin,
                 cy - h - 3 * kMargin, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

INT_PTR CALLBACK DetailsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: {
            const auto* details = reinterpret_cast<const CDetailsDlg*>(lParam);
            HWND edit = GetDlgItem(dialog, IDC_LOG);
            // A long log is shown whole, not cut at the edit's default limit.
            SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);
            SetWindowTextW(edit, details->m_text.c_str());
            // The layout runs once as soon as the dialog is shown.
            RECT client;
            GetClientRect(dialog, &client);
            PostMessageW(dialog, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
            return TRUE;
        }
        case WM_SIZE:
            LayOut(dialog, static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
            return FALSE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, LOWORD(wParam));
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

void RunDetailsDlg(HINSTANCE instance, HWND owner, CDetailsDlg& details) {
    DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_DETAILS), owner, DetailsDlgProc,
                    reinterpret_cast<LPARAM>(&details));
}
