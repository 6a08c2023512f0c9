#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tessel::fuzz {

/// A file in a private temporary folder that each fuzz input is written to, for the entry
/// points that read files by path. The folder is removed when the process ends normally.
class FuzzInputFile {
  public:
    /// `fileName` is the name inside the folder (its extension matters to some readers).
    explicit FuzzInputFile(const std::string& fileName);
    FuzzInputFile(const FuzzInputFile&) = delete;
    FuzzInputFile& operator=(const FuzzInputFile&) = delete;
    ~FuzzInputFile();

    /// Replaces the file's content with `size` bytes at `data`; aborts if that fails.
    void Write(const std::uint8_t* data, std::size_t size) const;
    const std::string& Path() const { return path_; }
    /// Another path in the same folder (for outputs).
    std::string Sibling(const std::string& fileName) const;
    const std::string& Folder() const { return folder_; }

  private:
    std::string folder_;
    std::string path_;
};

}  // namespace tessel::fuzz
