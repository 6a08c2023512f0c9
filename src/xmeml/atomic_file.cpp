#include "xmeml/atomic_file.h"

#include <filesystem>
#include <memory>
#include <system_error>

#include "platform/files.h"

namespace {

using tessel::platform::AtomicFile;
using tessel::platform::SystemError;

SaveStatus Failure(const std::string& path, const std::string& what, const std::string& why) {
    return {false, "Cannot save \"" + path + "\": " + what + ": " + why};
}

SaveStatus Failure(const std::string& path, const std::string& what, const SystemError& error) {
    return Failure(path, what, tessel::platform::SystemErrorText(error));
}

// Hands the document's bytes to the file; the first failing write is remembered by the file and
// everything after it is dropped (the writer goes on, and the save fails at the end).
class FileWriter : public ByteSink {
  public:
    explicit FileWriter(AtomicFile& file) : file_(file) {}

    void Write(std::string_view bytes) override { file_.Write(bytes.data(), bytes.size()); }

  private:
    AtomicFile& file_;
};

std::string IsADirectoryText() {
    return std::make_error_code(std::errc::is_a_directory).message();
}

}  // namespace

SaveStatus WriteFileAtomically(const std::string& path,
                               const std::function<void(ByteSink&)>& write) {
    using tessel::platform::PathFromUtf8;
    using tessel::platform::Utf8FromPath;
    std::error_code ignored;
    std::filesystem::path target = PathFromUtf8(path);
    // Saving through a symbolic link replaces the file it points to, not the link.
    if (std::filesystem::is_symlink(target, ignored)) {
        const std::filesystem::path resolved = std::filesystem::weakly_canonical(target, ignored);
        if (!ignored) {
            target = resolved;
        }
    }
    if (target.filename().empty()) {
        return Failure(path, "the path names no file", IsADirectoryText());
    }
    std::error_code status;
    if (std::filesystem::is_directory(target, status)) {
        return Failure(path, "a folder of that name exists", IsADirectoryText());
    }

    SystemError error;
    std::unique_ptr<AtomicFile> file = AtomicFile::Create(Utf8FromPath(target), error);
    if (!file) {
        const std::string folder =
            target.has_parent_path() ? Utf8FromPath(target.parent_path()) : std::string(".");
        return Failure(path, "cannot create a file in the folder \"" + folder + "\"", error);
    }
    FileWriter writer(*file);
    write(writer);  // an exception drops the file, which removes the temporary file
    AtomicFile::Step step = AtomicFile::Step::kNone;
    if (!file->Commit(step, error)) {
        return Failure(
            path, step == AtomicFile::Step::kReplace ? "cannot replace the file" : "writing failed",
            error);
    }
    return {};
}
