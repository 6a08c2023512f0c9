// Win32 file access. Paths cross the API as UTF-16; the input is mapped, the save goes to a
// hidden temporary file that ReplaceFileW (or MoveFileExW with write-through, for a new file)
// puts in place of the target.
#include <windows.h>

#include <atomic>
#include <string>

#include "platform/files.h"

namespace tessel::platform {

namespace {

SystemError ErrorFrom(DWORD code) {
    const int value = static_cast<int>(code);
    switch (code) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_NETPATH:
        case ERROR_INVALID_DRIVE:
            return {value, ErrorKind::kNotFound};
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_WRITE_PROTECT:
            return {value, ErrorKind::kAccessDenied};
        case ERROR_DIRECTORY:
            return {value, ErrorKind::kIsDirectory};
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            return {value, ErrorKind::kExists};
        default:
            return {value, ErrorKind::kOther};
    }
}

SystemError LastError() {
    return ErrorFrom(::GetLastError());
}

std::wstring Wide(const std::string& utf8) {
    return PathFromUtf8(utf8).wstring();
}

class HandleCloser {
  public:
    explicit HandleCloser(HANDLE handle) : handle_(handle) {}
    HandleCloser(const HandleCloser&) = delete;
    HandleCloser& operator=(const HandleCloser&) = delete;
    ~HandleCloser() { ::CloseHandle(handle_); }

  private:
    HANDLE handle_;
};

std::wstring TemporaryName(const std::filesystem::path& target) {
    static std::atomic<unsigned> counter{0};
    std::wstring name(L".");
    name += target.filename().wstring();
    name += L".tmp-";
    name += std::to_wstring(::GetCurrentProcessId());
    name += L'-';
    name += std::to_wstring(counter++);
    name += L'-';
    name += std::to_wstring(::GetTickCount64());
    return (target.parent_path() / name).wstring();
}

}  // namespace

std::string SystemErrorText(const SystemError& error) {
    wchar_t* buffer = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
        nullptr, static_cast<DWORD>(error.code), LANG_USER_DEFAULT,
        reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text;
    if (length != 0 && buffer != nullptr) {
        text.assign(buffer, length);
    }
    ::LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) {
        text.pop_back();
    }
    if (text.empty()) {
        return "system error " + std::to_string(static_cast<unsigned>(error.code));
    }
    return Utf8FromPath(std::filesystem::path(text));
}

std::unique_ptr<InputFile> InputFile::Open(const std::string& utf8Path, std::uint64_t maxBytes,
                                           Problem& problem, SystemError& error) {
    problem = Problem::kSystem;
    const std::wstring path = Wide(utf8Path);
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        error = {static_cast<int>(ERROR_DIRECTORY), ErrorKind::kIsDirectory};
        return nullptr;
    }
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = LastError();
        return nullptr;
    }
    HandleCloser closeFile(file);
    if (::GetFileType(file) != FILE_TYPE_DISK) {
        problem = Problem::kNotRegularFile;
        return nullptr;
    }
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file, &size)) {
        error = LastError();
        return nullptr;
    }
    const auto bytes = static_cast<std::uint64_t>(size.QuadPart);
    if (bytes > maxBytes || bytes > SIZE_MAX / 2) {
        problem = Problem::kTooLarge;
        return nullptr;
    }
    std::unique_ptr<InputFile> data(new InputFile());
    problem = Problem::kNone;
    if (bytes == 0) {
        return data;
    }
    const HANDLE mapping = ::CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (mapping != nullptr) {
        HandleCloser closeMapping(mapping);
        void* view = ::MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
        if (view != nullptr) {
            data->mapping_ = view;
            data->mappingSize_ = static_cast<std::size_t>(bytes);
            data->bytes_ = {static_cast<const std::uint8_t*>(view), data->mappingSize_};
            return data;
        }
    }
    // Some files cannot be mapped (network shares may refuse): read the file instead.
    data->owned_.resize(static_cast<std::size_t>(bytes));
    std::size_t done = 0;
    while (done < data->owned_.size()) {
        const std::size_t left = data->owned_.size() - done;
        const DWORD chunk = left > (1u << 30) ? (1u << 30) : static_cast<DWORD>(left);
        DWORD read = 0;
        if (!::ReadFile(file, data->owned_.data() + done, chunk, &read, nullptr)) {
            problem = Problem::kSystem;
            error = LastError();
            return nullptr;
        }
        if (read == 0) {
            break;
        }
        done += read;
    }
    data->owned_.resize(done);
    data->bytes_ = {reinterpret_cast<const std::uint8_t*>(data->owned_.data()), done};
    return data;
}

InputFile::~InputFile() {
    if (mapping_ != nullptr) {
        ::UnmapViewOfFile(mapping_);
    }
}

struct AtomicFile::Handle {
    HANDLE file = INVALID_HANDLE_VALUE;
    std::wstring temporary;
    std::wstring target;
    DWORD error = 0;  // the first failed write
};

AtomicFile::AtomicFile(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}

AtomicFile::~AtomicFile() {
    Abandon();
}

void AtomicFile::Abandon() {
    if (handle_ && handle_->file != INVALID_HANDLE_VALUE) {
        ::CloseHandle(handle_->file);
        ::DeleteFileW(handle_->temporary.c_str());
        handle_->file = INVALID_HANDLE_VALUE;
    }
}

std::unique_ptr<AtomicFile> AtomicFile::Create(const std::string& utf8Path, SystemError& error) {
    auto handle = std::make_unique<Handle>();
    // The temporary file goes into the target's folder, so the target must name one: a path
    // without a drive ("/out/edit.xml") or with "/" separators is made whole first.
    std::filesystem::path target = PathFromUtf8(utf8Path);
    std::error_code ignored;
    std::filesystem::path whole = std::filesystem::absolute(target, ignored);
    if (!whole.empty()) {
        target = std::move(whole);
    }
    target.make_preferred();
    handle->target = target.wstring();
    for (int attempt = 0; attempt < 100 && handle->file == INVALID_HANDLE_VALUE; ++attempt) {
        handle->temporary = TemporaryName(target);
        handle->file = ::CreateFileW(handle->temporary.c_str(), GENERIC_WRITE, 0, nullptr,
                                     CREATE_NEW, FILE_ATTRIBUTE_HIDDEN, nullptr);
        if (handle->file == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS) {
            break;
        }
    }
    if (handle->file == INVALID_HANDLE_VALUE) {
        error = LastError();
        return nullptr;
    }
    return std::unique_ptr<AtomicFile>(new AtomicFile(std::move(handle)));
}

bool AtomicFile::Write(const void* data, std::size_t size) {
    Handle& h = *handle_;
    const char* bytes = static_cast<const char*>(data);
    while (size > 0 && h.error == 0) {
        const DWORD chunk = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!::WriteFile(h.file, bytes, chunk, &written, nullptr)) {
            h.error = ::GetLastError();
            break;
        }
        if (written == 0) {
            h.error = ERROR_WRITE_FAULT;
            break;
        }
        bytes += written;
        size -= written;
    }
    return h.error == 0;
}

bool AtomicFile::Commit(Step& step, SystemError& error) {
    Handle& h = *handle_;
    step = Step::kWrite;
    if (h.error != 0) {
        error = ErrorFrom(h.error);
        Abandon();
        return false;
    }
    if (!::FlushFileBuffers(h.file)) {
        error = LastError();
        Abandon();
        return false;
    }
    const HANDLE file = h.file;
    h.file = INVALID_HANDLE_VALUE;
    if (!::CloseHandle(file)) {
        error = LastError();
        ::DeleteFileW(h.temporary.c_str());
        return false;
    }
    step = Step::kReplace;
    bool replaced = false;
    if (::GetFileAttributesW(h.target.c_str()) != INVALID_FILE_ATTRIBUTES) {
        // A file another program holds open without sharing cannot be replaced: say so before
        // trying (Wine's ReplaceFileW leaves a stray file behind when it fails on one).
        const HANDLE probe = ::CreateFileW(
            h.target.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (probe == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_SHARING_VIOLATION) {
            error = LastError();
            ::DeleteFileW(h.temporary.c_str());
            return false;
        }
        if (probe != INVALID_HANDLE_VALUE) {
            ::CloseHandle(probe);
        }
        // The replaced file's attributes, security and creation time carry over to the new one.
        replaced = ::ReplaceFileW(h.target.c_str(), h.temporary.c_str(), nullptr,
                                  REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != 0;
    } else {
        // A new file: not hidden once it has its name.
        ::SetFileAttributesW(h.temporary.c_str(), FILE_ATTRIBUTE_NORMAL);
        replaced =
            ::MoveFileExW(h.temporary.c_str(), h.target.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
    }
    if (!replaced) {
        error = LastError();
        ::DeleteFileW(h.temporary.c_str());
        return false;
    }
    step = Step::kNone;
    return true;
}

}  // namespace tessel::platform
