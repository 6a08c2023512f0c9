#include "app/win32/file_dialogs.h"

#include <commdlg.h>

#include <vector>

namespace {

// Long paths are allowed; the dialog says when a choice does not fit.
constexpr DWORD kPathUnits = 32768;

// Filters are pairs of NUL-terminated texts, the list ends with an empty one.
constexpr wchar_t kAafFilter[] = L"aaf Files (*.aaf)\0*.aaf\0";
constexpr wchar_t kXmlFilter[] = L"xml Files (*.xml)\0*.xml\0";

std::wstring ChooseInput(HWND owner) {
    std::vector<wchar_t> path(kPathUnits, L'\0');
    OPENFILENAMEW request = {};
    request.lStructSize = sizeof(request);
    request.hwndOwner = owner;
    request.lpstrFilter = kAafFilter;
    request.lpstrFile = path.data();
    request.nMaxFile = kPathUnits;
    request.lpstrDefExt = L"aaf";
    request.Flags = OFN_FILEMUSTEXIST | OFN_EXPLORER;
    return GetOpenFileNameW(&request) ? std::wstring(path.data()) : std::wstring();
}

std::wstring ChooseOutput(HWND owner, const std::wstring& proposedName) {
    std::vector<wchar_t> path(kPathUnits, L'\0');
    proposedName.copy(path.data(), kPathUnits - 1);
    OPENFILENAMEW request = {};
    request.lStructSize = sizeof(request);
    request.hwndOwner = owner;
    request.lpstrFilter = kXmlFilter;
    request.lpstrFile = path.data();
    request.nMaxFile = kPathUnits;
    request.lpstrDefExt = L"xml";
    request.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_EXPLORER;
    return GetSaveFileNameW(&request) ? std::wstring(path.data()) : std::wstring();
}

}  // namespace

FileDialogs SystemFileDialogs() {
    return {ChooseInput, ChooseOutput};
}
