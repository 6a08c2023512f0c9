#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "aaf/status.h"
#include "platform/files.h"

namespace tessel::aaf {

/// The whole content of a file, read-only: memory-mapped, or held in memory.
class FileData {
  public:
    /// Maps (or reads) the regular file at `utf8Path`. File-system failures become
    /// AAFRESULT_FILE_NOT_FOUND, AAFRESULT_ACCESS_DENIED, AAFRESULT_IS_DIRECTORY or
    /// AAFRESULT_READ_FAILED with the system's reason.
    static Status Open(const std::string& utf8Path, std::shared_ptr<const FileData>& out);
    /// Wraps bytes already in memory (tests, generated files).
    static std::shared_ptr<const FileData> FromBytes(std::string bytes);

    FileData(const FileData&) = delete;
    FileData& operator=(const FileData&) = delete;
    ~FileData();

    std::span<const std::uint8_t> Bytes() const { return bytes_; }
    /// A hint that `part` (bytes of Bytes()) will not be read for a while: a mapped file's
    /// pages leave resident memory and come back from the file if read after all.
    void ReleasePages(std::span<const std::uint8_t> part) const {
        if (file_) {
            file_->ReleasePages(part);
        }
    }

  private:
    FileData() = default;

    std::span<const std::uint8_t> bytes_;
    std::unique_ptr<platform::InputFile> file_;
    std::string owned_;
};

}  // namespace tessel::aaf
