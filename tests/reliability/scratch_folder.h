#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tessel::reliability {

/// A fresh folder for one test, removed with everything in it (whatever its permissions).
class ScratchFolder {
  public:
    ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder();

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
    /// The names in the folder, sorted (hidden temporary files included).
    std::vector<std::string> Names() const;

  private:
    std::filesystem::path path_;
};

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);
void WriteText(const std::filesystem::path& path, const std::string& text);

/// What a file looks like from outside: its bytes, and when and how it was last changed.
struct FileState {
    std::vector<std::uint8_t> bytes;
    std::int64_t modifiedNs = 0;
    std::uint32_t mode = 0;
    bool operator==(const FileState&) const = default;
};
FileState StateOf(const std::filesystem::path& path);

/// A small EDIUS-shaped edit: one sequence with a timecode, a video and an audio track with two
/// clips each, and, when `titleDocument` is given, a title clip whose media path is that name.
std::vector<std::uint8_t> SmallEdit(const std::string& titleDocument = {});

/// The title document of one text object, as EDIUS writes it.
std::string TitleDocumentXml(const std::string& text);

/// True when the process may ignore file permissions (the superuser).
bool PermissionsAreIgnored();

}  // namespace tessel::reliability
