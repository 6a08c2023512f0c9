#pragma once

#include <windows.h>

#include <string>

/// The details dialog: the log of one conversion, read-only, in a window that can be resized.
struct CDetailsDlg {
    std::wstring m_text;  ///< the log shown, with its CR LF line ends
};

/// Runs the details dialog modally over `owner` until OK or the close box.
void RunDetailsDlg(HINSTANCE instance, HWND owner, CDetailsDlg& details);

/// The dialog procedure (resource IDD_DETAILS); WM_INITDIALOG's parameter is the CDetailsDlg.
INT_PTR CALLBACK DetailsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
