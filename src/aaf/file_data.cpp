#include "aaf/file_data.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tessel::aaf {

namespace {

Status OpenError(int error, const std::string& path) {
    std::string detail = path + ": " + std::strerror(error);
    switch (error) {
        case ENOENT:
        case ENOTDIR:
            return Status::Error(AAFRESULT_FILE_NOT_FOUND, detail);
        case EACCES:
        case EPERM:
            return Status::Error(AAFRESULT_ACCESS_DENIED, detail);
        case EISDIR:
            return Status::Error(AAFRESULT_IS_DIRECTORY, detail);
        default:
            return Status::Error(AAFRESULT_READ_FAILED, detail);
    }
}

/// Closes a descriptor on every path out of Open.
class FdCloser {
  public:
    explicit FdCloser(int fd) : fd_(fd) {}
    FdCloser(const FdCloser&) = delete;
    FdCloser& operator=(const FdCloser&) = delete;
    ~FdCloser() { ::close(fd_); }

  private:
    int fd_;
};

}  // namespace

Status FileData::Open(const std::string& utf8Path, std::shared_ptr<const FileData>& out) {
    if (utf8Path.empty()) {
        return Status::Error(AAFRESULT_FILE_NOT_FOUND, "no file name was given");
    }
    // Non-blocking, so that a named pipe is refused below instead of waiting for a writer (it
    // changes nothing for regular files).
    int fd = ::open(utf8Path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return OpenError(errno, utf8Path);
    }
    FdCloser closer(fd);
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        return OpenError(errno, utf8Path);
    }
    if (S_ISDIR(info.st_mode)) {
        return OpenError(EISDIR, utf8Path);
    }
    if (!S_ISREG(info.st_mode)) {
        return Status::Error(AAFRESULT_READ_FAILED, utf8Path + ": not a regular file");
    }
    auto size = static_cast<std::uint64_t>(info.st_size);
    if (size > SIZE_MAX / 2) {
        return Status::Error(AAFRESULT_FILE_TOO_LARGE, utf8Path);
    }
    std::shared_ptr<FileData> data(new FileData());
    if (size == 0) {
        out = std::move(data);
        return {};
    }
    void* mapping = ::mmap(nullptr, static_cast<std::size_t>(size), PROT_READ, MAP_PRIVATE, fd, 0);
    if (mapping != MAP_FAILED) {
        data->mapping_ = mapping;
        data->mappingSize_ = static_cast<std::size_t>(size);
        data->bytes_ = {static_cast<const std::uint8_t*>(mapping), data->mappingSize_};
        out = std::move(data);
        return {};
    }
    // Some file systems cannot be mapped: read the file instead.
    data->owned_.resize(static_cast<std::size_t>(size));
    std::size_t done = 0;
    while (done < data->owned_.size()) {
        ssize_t n = ::read(fd, data->owned_.data() + done, data->owned_.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return OpenError(errno, utf8Path);
        }
        if (n == 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    data->owned_.resize(done);
    data->bytes_ = {reinterpret_cast<const std::uint8_t*>(data->owned_.data()), done};
    out = std::move(data);
    return {};
}

std::shared_ptr<const FileData> FileData::FromBytes(std::string bytes) {
    std::shared_ptr<FileData> data(new FileData());
    data->owned_ = std::move(bytes);
    data->bytes_ = {reinterpret_cast<const std::uint8_t*>(data->owned_.data()),
                    data->owned_.size()};
    return data;
}

FileData::~FileData() {
    if (mapping_ != nullptr) {
        ::munmap(mapping_, mappingSize_);
    }
}

}  // namespace tessel::aaf
