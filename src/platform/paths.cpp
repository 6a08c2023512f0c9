#include "platform/files.h"

namespace tessel::platform {

// The char8_t forms are UTF-8 on every system: passed through unchanged on POSIX, converted to
// and from UTF-16 on Windows.
std::filesystem::path PathFromUtf8(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8FromPath(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace tessel::platform
