#include "scratch_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "aafwriter/builder.h"

namespace tessel::reliability {

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder() {
    std::string pattern = (fs::temp_directory_path() / "tessel-reliability-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot make a scratch folder");
    }
    path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
    std::error_code error;
    // Folders a test made read-only must be writable again before their files can go.
    for (auto it = fs::recursive_directory_iterator(path_, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        if (it->is_directory(error) && !it->is_symlink(error)) {
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, error);
        }
    }
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, error);
    fs::remove_all(path_, error);
}

std::vector<std::string> ScratchFolder::Names() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(path_)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::uint8_t> ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

void WriteText(const fs::path& path, const std::string& text) {
    WriteBytes(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

FileState StateOf(const fs::path& path) {
    FileState state;
    state.bytes = ReadBytes(path);
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) {
        state.modifiedNs =
            static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
        state.mode = info.st_mode;
    }
    return state;
}

std::vector<std::uint8_t> SmallEdit(const std::string& titleDocument) {
    using namespace tessel::aafwriter;
    AafBuilder builder;
    const MediaRef interview = builder.AddMedia(
        {.name = "Interview", .path = "D:\\Media\\interview.avi", .soundSlots = 1});
    const MediaRef street =
        builder.AddMedia({.name = "Street", .path = "D:\\Media\\street.mov", .soundSlots = 1});
    Composition edit = builder.AddComposition("Main Edit");
    edit.AddTimecodeSlot(90000, 25, false, 250);
    Track video = edit.AddPictureTrack({.physicalNumber = 1, .name = "V1"});
    Track audio = edit.AddSoundTrack({.physicalNumber = 1, .name = "A1"});
    video.AddClip(interview, 100, 10);
    audio.AddClip(interview, 100, 10);
    video.AddClip(street, 50);
    audio.AddClip(street, 50);
    if (!titleDocument.empty()) {
        const MediaRef title = builder.AddMedia({.name = "Title", .path = titleDocument});
        edit.AddPictureTrack({.physicalNumber = 2, .name = "V2"}).AddClip(title, 75);
    }
    return builder.ToBytes();
}

std::string TitleDocumentXml(const std::string& text) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<TitleDocument><m_TitleObList>"
           "<CCtsTextObject><CCtsTitleObject><m_sText>" +
           text +
           "</m_sText><m_sFontName>Arial</m_sFontName><TitleFont><iSize>40</iSize></TitleFont>"
           "</CCtsTitleObject></CCtsTextObject></m_TitleObList></TitleDocument>\n";
}

bool PermissionsAreIgnored() {
    return ::geteuid() == 0;
}

}  // namespace tessel::reliability
