#pragma once

#include <windows.h>

#include <functional>
#include <string>

/// Dispatches this thread's messages until `condition` holds; false if it never did within a
/// generous limit (a hang, not a slow run).
bool PumpMessagesUntil(const std::function<bool()>& condition);

/// The text of a window or of a dialog's control.
std::wstring WindowText(HWND window);
std::wstring ItemText(HWND dialog, int id);

/// A control's rectangle in its dialog's client coordinates.
RECT ItemRect(HWND dialog, int id);
/// A rectangle in dialog units as the dialog maps it to pixels.
RECT DialogUnitsRect(HWND dialog, int x, int y, int width, int height);

/// A path of the host as Windows names it (Wine shows the host's root as Z:).
std::wstring WindowsPath(const std::string& hostPath);

/// An empty folder under the temporary folder, removed with everything in it at the end.
class ScratchFolder {
  public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::wstring& Path() const { return m_path; }
    std::wstring File(const std::wstring& name) const { return m_path + L"\\" + name; }

  private:
    std::wstring m_path;
};
