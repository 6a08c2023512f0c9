// POSIX file access: open/mmap for input, a temporary file renamed over the target for saving.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <random>
#include <system_error>
#include <thread>

#include "platform/files.h"
#include "platform/memory.h"

namespace tessel::platform {

namespace {

SystemError ErrorFrom(int code) {
    switch (code) {
        case ENOENT:
        case ENOTDIR:
            return {code, ErrorKind::kNotFound};
        case EACCES:
        case EPERM:
        case EROFS:
            return {code, ErrorKind::kAccessDenied};
        case EISDIR:
            return {code, ErrorKind::kIsDirectory};
        case EEXIST:
            return {code, ErrorKind::kExists};
        default:
            return {code, ErrorKind::kOther};
    }
}

/// Closes a descriptor on every path out of a function.
class FdCloser {
  public:
    explicit FdCloser(int fd) : fd_(fd) {}
    FdCloser(const FdCloser&) = delete;
    FdCloser& operator=(const FdCloser&) = delete;
    ~FdCloser() { ::close(fd_); }

  private:
    int fd_;
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

// The file is synced before it replaces the target, and on a virtual disk that sync takes about
// as long as writing the bytes did. Syncing each finished stretch on a thread of its own while
// the rest is still being written leaves the final sync only the last stretch to wait for.
class BackgroundSync {
  public:
    explicit BackgroundSync(int fd) : fd_(fd) {}
    BackgroundSync(const BackgroundSync&) = delete;
    BackgroundSync& operator=(const BackgroundSync&) = delete;
    ~BackgroundSync() { Finish(); }

    /// Asks for everything written so far to be synced. Only a hint: without a thread the final
    /// sync does all the work.
    void Request() {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            requested_ = true;
        }
        if (!thread_.joinable()) {
            try {
                thread_ = std::thread([this] { Run(); });
            } catch (const std::system_error&) {
                return;
            }
        }
        wake_.notify_one();
    }

    /// Waits for the thread to stop; the first error a sync reported (an errno), or 0. Linux
    /// reports a failed write-back to one sync only, so it must not be lost here.
    int Finish() {
        if (thread_.joinable()) {
            {
                const std::lock_guard<std::mutex> lock(mutex_);
                stopping_ = true;
            }
            wake_.notify_one();
            thread_.join();
        }
        return error_;
    }

  private:
    void Run() {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return requested_ || stopping_; });
            if (stopping_) {
                return;
            }
            requested_ = false;
            lock.unlock();
            const int failed = ::fdatasync(fd_) != 0 && errno != EINVAL ? errno : 0;
            lock.lock();
            if (failed != 0 && error_ == 0) {
                error_ = failed;
            }
        }
    }

    int fd_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool requested_ = false;
    bool stopping_ = false;
    int error_ = 0;
    std::thread thread_;  // started by the first request, so small files never have one
};

// Freeing a long file's blocks and pages takes tens of milliseconds, and whoever drops the
// last reference to a replaced file pays for it. Holding the file open across the rename and
// closing it on a thread of its own lets the caller go on meanwhile; the system frees it
// all the same if the process ends first. -1 when the target is not a regular file or cannot be
// opened (then the rename frees it as usual).
int OpenReplacedFile(const std::string& target) {
    struct stat info {};
    // Other kinds of file are not opened at all: opening a device may do something.
    if (::lstat(target.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return -1;
    }
    const int fd = ::open(target.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW);
    if (fd >= 0 && (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))) {
        ::close(fd);
        return -1;
    }
    return fd;
}

void CloseInBackground(int fd) {
    if (fd < 0) {
        return;
    }
    try {
        std::thread([fd] { ::close(fd); }).detach();
    } catch (const std::system_error&) {
        ::close(fd);
    }
}

}  // namespace

std::string SystemErrorText(const SystemError& error) {
    return std::generic_category().message(error.code);
}

std::unique_ptr<InputFile> InputFile::Open(const std::string& utf8Path, std::uint64_t maxBytes,
                                           Problem& problem, SystemError& error) {
    problem = Problem::kSystem;
    // Non-blocking, so that a named pipe is refused below instead of waiting for a writer (it
    // changes nothing for regular files).
    const int fd = ::open(utf8Path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        error = ErrorFrom(errno);
        return nullptr;
    }
    FdCloser closer(fd);
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        error = ErrorFrom(errno);
        return nullptr;
    }
    if (S_ISDIR(info.st_mode)) {
        error = ErrorFrom(EISDIR);
        return nullptr;
    }
    if (!S_ISREG(info.st_mode)) {
        problem = Problem::kNotRegularFile;
        return nullptr;
    }
    const auto size = static_cast<std::uint64_t>(info.st_size);
    if (size > maxBytes || size > SIZE_MAX / 2) {
        problem = Problem::kTooLarge;
        return nullptr;
    }
    std::unique_ptr<InputFile> file(new InputFile());
    problem = Problem::kNone;
    if (size == 0) {
        return file;
    }
    // A small file (a title document) is read: mapping and unmapping it costs more than
    // copying its bytes.
    constexpr std::uint64_t kSmallestMapped = std::uint64_t{64} << 10;
    void* mapping = size < kSmallestMapped ? MAP_FAILED
                                           : ::mmap(nullptr, static_cast<std::size_t>(size),
                                                    PROT_READ, MAP_PRIVATE, fd, 0);
    if (mapping != MAP_FAILED) {
        // Where the file is not cached yet, the system then reads it ahead in huge folios, which
        // the conversion faults in with a fraction of the work: a 100,000-clip edit read cold
        // converted about a tenth faster. A file already cached stays in the pages it has.
        AdviseHugePages(mapping, static_cast<std::size_t>(size));
        file->mapping_ = mapping;
        file->mappingSize_ = static_cast<std::size_t>(size);
        file->bytes_ = {static_cast<const std::uint8_t*>(mapping), file->mappingSize_};
        return file;
    }
    // Small files, and files where the file system cannot map them, are read.
    file->owned_.resize(static_cast<std::size_t>(size));
    std::size_t done = 0;
    while (done < file->owned_.size()) {
        const ssize_t n = ::read(fd, file->owned_.data() + done, file->owned_.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            problem = Problem::kSystem;
            error = ErrorFrom(errno);
            return nullptr;
        }
        if (n == 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    file->owned_.resize(done);
    file->bytes_ = {reinterpret_cast<const std::uint8_t*>(file->owned_.data()), done};
    return file;
}

InputFile::~InputFile() {
    if (mapping_ != nullptr) {
        ::munmap(mapping_, mappingSize_);
    }
}

struct AtomicFile::Handle {
    int fd = -1;
    std::string temporary;
    std::string target;
    int error = 0;       // the first failed write
    off_t unsynced = 0;  // bytes written since the last sync was asked for
    std::unique_ptr<BackgroundSync> sync;
};

AtomicFile::AtomicFile(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}

AtomicFile::~AtomicFile() {
    Abandon();
}

void AtomicFile::Abandon() {
    if (handle_ && handle_->fd >= 0) {
        handle_->sync.reset();  // its thread uses the descriptor
        ::close(handle_->fd);
        ::unlink(handle_->temporary.c_str());
        handle_->fd = -1;
    }
}

std::unique_ptr<AtomicFile> AtomicFile::Create(const std::string& utf8Path, SystemError& error) {
    auto handle = std::make_unique<Handle>();
    handle->target = utf8Path;
    const std::filesystem::path target(utf8Path);
    for (int attempt = 0; attempt < 100 && handle->fd < 0; ++attempt) {
        handle->temporary = TemporaryName(target);
        handle->fd =
            ::open(handle->temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (handle->fd < 0 && errno != EEXIST) {
            break;
        }
    }
    if (handle->fd < 0) {
        error = ErrorFrom(errno);
        return nullptr;
    }
    // A file that is replaced keeps its permissions.
    struct stat existing {};
    if (::stat(utf8Path.c_str(), &existing) == 0) {
        ::fchmod(handle->fd, existing.st_mode & 07777);
    }
    return std::unique_ptr<AtomicFile>(new AtomicFile(std::move(handle)));
}

bool AtomicFile::Write(const void* data, std::size_t size) {
    Handle& h = *handle_;
    const char* bytes = static_cast<const char*>(data);
    while (size > 0 && h.error == 0) {
        const ssize_t written = ::write(h.fd, bytes, size);
        if (written < 0) {
            if (errno != EINTR) {
                h.error = errno;
            }
            continue;
        }
        if (written == 0) {
            h.error = EIO;
            continue;
        }
        bytes += written;
        size -= static_cast<std::size_t>(written);
        constexpr off_t kStretch = off_t{8} << 20;
        h.unsynced += written;
        if (h.unsynced >= kStretch) {
            if (!h.sync) {
                h.sync = std::make_unique<BackgroundSync>(h.fd);
            }
            h.sync->Request();
            h.unsynced = 0;
        }
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
    const int syncError = h.sync ? h.sync->Finish() : 0;
    if (syncError != 0) {
        error = ErrorFrom(syncError);
        Abandon();
        return false;
    }
    // EINVAL: the file system cannot sync (nothing more to wait for).
    if (::fsync(h.fd) != 0 && errno != EINVAL) {
        error = ErrorFrom(errno);
        Abandon();
        return false;
    }
    const int fd = h.fd;
    h.fd = -1;
    if (::close(fd) != 0) {
        error = ErrorFrom(errno);
        ::unlink(h.temporary.c_str());
        return false;
    }
    int replaced = OpenReplacedFile(h.target);
    bool renamed = ::rename(h.temporary.c_str(), h.target.c_str()) == 0;
    if (!renamed && replaced >= 0) {
        // Some file systems (network shares) refuse to replace a file that is open.
        ::close(replaced);
        replaced = -1;
        renamed = ::rename(h.temporary.c_str(), h.target.c_str()) == 0;
    }
    if (!renamed) {
        step = Step::kReplace;
        error = ErrorFrom(errno);
        ::unlink(h.temporary.c_str());
        return false;
    }
    CloseInBackground(replaced);
    step = Step::kNone;
    return true;
}

}  // namespace tessel::platform
