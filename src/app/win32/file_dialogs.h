#pragma once

#include <windows.h>

#include <string>

/// The main dialog's two file dialogs. Tests put answers of their own in their place.
struct FileDialogs {
    /// Asks for an existing ".aaf" file; the full path, or empty when cancelled.
    std::wstring (*chooseInput)(HWND owner) = nullptr;
    /// Asks where to save the ".xml" document, proposing `proposedName`; the full path (".xml"
    /// added to a name typed without extension), or empty when cancelled.
    std::wstring (*chooseOutput)(HWND owner, const std::wstring& proposedName) = nullptr;
};

/// The common open and save dialogs.
FileDialogs SystemFileDialogs();
