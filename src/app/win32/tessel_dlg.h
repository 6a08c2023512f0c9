#pragma once

#include <windows.h>

#include <string>

#include "app/shared/dialog_state.h"
#include "app/shared/progress_log.h"
#include "app/win32/file_dialogs.h"
#include "job/conversion_job.h"
#include "model/log.h"

/// A log line from any thread, sent: WPARAM the kind, LPARAM the sender's `const std::string*`
/// ("text\r\n", UTF-8), which lives until the send returns.
constexpr UINT WM_LOG_LINE = WM_USER + 2;
/// Posted by the worker once the conversion has ended; both parameters 0.
constexpr UINT WM_CONVERSION_DONE = WM_USER + 3;

/// The main dialog's state (resource IDD_TESSEL_DIALOG). While its window exists it is the log
/// target: lines logged on any thread reach the log and the status line on the dialog's thread.
struct CTesselDlg final : LogTarget, ConversionClient {
    explicit CTesselDlg(HINSTANCE instance);
    CTesselDlg(const CTesselDlg&) = delete;
    CTesselDlg& operator=(const CTesselDlg&) = delete;
    ~CTesselDlg() override;

    /// Any thread: returns once the line is in the log (dropped while there is no window).
    void TakeLogLine(int kind, std::string line) override;
    /// Worker thread: records how the conversion ended and posts WM_CONVERSION_DONE.
    void PostConversionDone(ConversionStatus status) override;

    HINSTANCE m_instance;
    HWND m_hWnd = nullptr;
    HICON m_hIcon = nullptr;
    std::wstring m_aafPath;  ///< the text of the input edit
    std::wstring m_xmlPath;  ///< the output chosen in the save dialog
    ProgressLog m_progress;  ///< the log of the current conversion and the status line
    HBRUSH m_brush = nullptr;
    MainDialogState m_state = MainDialogState::kNoInput;
    FileDialogs m_fileDialogs = SystemFileDialogs();
    /// Chooses German or English texts when the dialog starts; the user's own unless a test
    /// asks for another.
    LANGID m_uiLanguage = GetUserDefaultUILanguage();
    /// The running conversion's thread; null in every other state.
    HANDLE m_worker = nullptr;
    /// Written by the worker before it posts, read after it has ended.
    ConversionStatus m_conversionStatus = ConversionStatus::kAborted;
    /// Quit or the close box during a conversion: the dialog ends when the worker has.
    bool m_closeRequested = false;
    /// Filled by the worker; read once it has been joined.
    ConversionReport m_report;
};

/// The dialog procedure; WM_INITDIALOG's parameter is the CTesselDlg.
INT_PTR CALLBACK TesselDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

/// Runs the main dialog modally until quit, Enter, Escape or the close box.
INT_PTR RunTesselDlg(CTesselDlg& state);
