#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "platform/memory.h"

// File access for the conversion and the tools. Every path is UTF-8 text; on Windows it crosses
// the system's API as UTF-16, so any name the file system allows works.
namespace tessel::platform {

/// What kind of failure a system call reported; the code itself is the system's own.
enum class ErrorKind { kNone, kNotFound, kAccessDenied, kIsDirectory, kExists, kOther };

struct SystemError {
    int code = 0;  // errno, or GetLastError() on Windows; 0 when nothing failed
    ErrorKind kind = ErrorKind::kNone;

    bool failed() const { return kind != ErrorKind::kNone; }
};

/// The system's message for `error`, in the user's language where the system has one; no
/// trailing line break.
std::string SystemErrorText(const SystemError& error);

/// The path of a UTF-8 file name, and back; std::filesystem would take narrow text in the ANSI
/// code page on Windows.
std::filesystem::path PathFromUtf8(std::string_view utf8);
std::string Utf8FromPath(const std::filesystem::path& path);

/// The whole content of a regular file, read-only: mapped where possible, else read into memory.
class InputFile {
  public:
    enum class Problem { kNone, kSystem, kNotRegularFile, kTooLarge };

    /// Opens the file at `utf8Path`. Folders fail with ErrorKind::kIsDirectory, other things that
    /// are not regular files (pipes, devices) with kNotRegularFile, files larger than
    /// `maxBytes` with kTooLarge.
    static std::unique_ptr<InputFile> Open(const std::string& utf8Path, std::uint64_t maxBytes,
                                           Problem& problem, SystemError& error);

    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    ~InputFile();

    std::span<const std::uint8_t> Bytes() const { return bytes_; }
    /// Lets the system take the pages of `part` (bytes of this file) out of resident memory
    /// when the file is mapped; they are read again when touched. A file read into memory
    /// keeps them.
    void ReleasePages(std::span<const std::uint8_t> part) const {
        if (mapping_ != nullptr) {
            ReleaseMappedPages(part.data(), part.size());
        }
    }

  private:
    InputFile() = default;

    std::span<const std::uint8_t> bytes_;
    void* mapping_ = nullptr;  // the mapped view; the system's handles are closed once mapped
    std::size_t mappingSize_ = 0;
    std::string owned_;
};

/// Replaces a file in one step, so that it either stays as it was or holds the whole new
/// content: the content goes to a hidden temporary file in the target's folder, which is flushed
/// to the disk and then put in place of the target, keeping the replaced file's permissions (and
/// attributes on Windows). Dropped before Commit, the temporary file is removed.
class AtomicFile {
  public:
    /// The step that failed.
    enum class Step { kNone, kCreate, kWrite, kReplace };

    /// Creates the temporary file beside `utf8Path`; null with `error` set when it cannot.
    static std::unique_ptr<AtomicFile> Create(const std::string& utf8Path, SystemError& error);

    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;
    ~AtomicFile();

    /// Appends bytes. After the first failure nothing more is written and Commit fails.
    bool Write(const void* data, std::size_t size);
    /// Flushes the temporary file and puts it in place of the target. On failure the target is
    /// left as it was, `step` says whether writing or replacing failed, and `error` why.
    bool Commit(Step& step, SystemError& error);

  private:
    struct Handle;
    explicit AtomicFile(std::unique_ptr<Handle> handle);
    void Abandon();

    std::unique_ptr<Handle> handle_;
};

}  // namespace tessel::platform
