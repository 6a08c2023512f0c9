#include "xmeml/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <random>
#include <system_error>

namespace {

std::string ErrorText(int error) {
    return std::generic_category().message(error);
}

SaveStatus Failure(const std::string& path, const std::string& what, int error) {
    return {false, "Cannot save \"" + path + "\": " + what + ": " + ErrorText(error)};
}

// Collects pugixml's output in a descriptor; the first failing write is remembered and
// everything after it is dropped (pugixml's writer interface cannot stop the serialiser).
class DescriptorWriter : public pugi::xml_writer {
  public:
    explicit DescriptorWriter(int fd) : fd_(fd) {}

    void write(const void* data, size_t size) override {
        const char* bytes = static_cast<const char*>(data);
        while (size > 0 && error_ == 0) {
            const ssize_t written = ::write(fd_, bytes, size);
            if (written < 0) {
                if (errno != EINTR) {
                    error_ = errno;
                }
                continue;
            }
            if (written == 0) {
                error_ = EIO;
                continue;
            }
            bytes += written;
            size -= static_cast<size_t>(written);
            StartWriteBack(static_cast<off_t>(written));
        }
    }

    int error() const { return error_; }

  private:
    // The file is synced before it replaces the target. Handing each finished stretch to the
    // disk while the rest is still being built leaves that sync little to wait for. Only a hint:
    // where it is not supported, the final sync does all the work.
    void StartWriteBack(off_t written) {
#if defined(__linux__)
        constexpr off_t kStretch = off_t{8} << 20;
        unsynced_ += written;
        if (unsynced_ >= kStretch) {
            ::sync_file_range(fd_, synced_, unsynced_, SYNC_FILE_RANGE_WRITE);
            synced_ += unsynced_;
            unsynced_ = 0;
        }
#else
        (void)written;
#endif
    }

    int fd_;
    int error_ = 0;
    off_t synced_ = 0;    // bytes already handed to the disk
    off_t unsynced_ = 0;  // bytes written after them
};

// A name in the target's folder that no other writer uses; hidden, so that a file manager
// does not show it while it is being written.
std::string TemporaryName(const std::filesystem::path& target) {
    static std::atomic<unsigned> counter{0};
    thread_local std::mt19937 random{std::random_device{}()};
    std::string name(".");
    name += target.filename().string();
    name += ".tmp-";
    name += std::to_string(::getpid());
    name += '-';
    name += std::to_string(counter++);
    name += '-';
    name += std::to_string(random());
    return (target.parent_path() / name).string();
}

}  // namespace

SaveStatus WriteFileAtomically(const std::string& path,
                               const std::function<void(pugi::xml_writer&)>& write) {
    std::error_code ignored;
    std::filesystem::path target(path);
    // Saving through a symbolic link replaces the file it points to, not the link.
    if (std::filesystem::is_symlink(target, ignored)) {
        const std::filesystem::path resolved = std::filesystem::weakly_canonical(target, ignored);
        if (!ignored) {
            target = resolved;
        }
    }
    if (target.filename().empty()) {
        return Failure(path, "the path names no file", EISDIR);
    }
    std::error_code status;
    if (std::filesystem::is_directory(target, status)) {
        return Failure(path, "a folder of that name exists", EISDIR);
    }

    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = TemporaryName(target);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            break;
        }
    }
    if (fd < 0) {
        const std::string folder =
            target.has_parent_path() ? target.parent_path().string() : std::string(".");
        return Failure(path, "cannot create a file in the folder \"" + folder + "\"", errno);
    }

    // A file that is replaced keeps its permissions.
    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0) {
        ::fchmod(fd, existing.st_mode & 07777);
    }

    auto abandon = [&](const std::string& what, int error) {
        ::close(fd);
        ::unlink(temporary.c_str());
        return Failure(path, what, error);
    };

    DescriptorWriter writer(fd);
    try {
        write(writer);
    } catch (...) {
        ::close(fd);
        ::unlink(temporary.c_str());
        throw;
    }
    if (writer.error() != 0) {
        return abandon("writing failed", writer.error());
    }
    // EINVAL: the file system cannot sync (nothing more to wait for).
    if (::fsync(fd) != 0 && errno != EINVAL) {
        return abandon("writing failed", errno);
    }
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return Failure(path, "writing failed", error);
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return Failure(path, "cannot replace the file", error);
    }
    return {};
}
