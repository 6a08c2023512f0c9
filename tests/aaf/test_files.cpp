#include "test_files.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace tessel::aaf::test {

std::filesystem::path SharedDir() {
    std::filesystem::path dir = TESSEL_SHARED_DIR;
    std::error_code error;
    if (dir.empty() || !std::filesystem::is_directory(dir / "aaf", error)) {
        return {};
    }
    return dir;
}

std::vector<std::filesystem::path> SampleFiles() {
    std::vector<std::filesystem::path> files;
    const std::filesystem::path shared = SharedDir();
    if (shared.empty()) {
        return files;
    }
    for (const char* sub : {"aaf-samples", "aaf/samples", "aaf-synthetic"}) {
        std::error_code error;
        const std::filesystem::path dir = shared / sub;
        if (!std::filesystem::is_directory(dir, error)) {
            continue;
        }
        for (const auto& item : std::filesystem::recursive_directory_iterator(dir, error)) {
            if (item.is_regular_file() && item.path().extension() == ".aaf") {
                files.push_back(item.path());
            }
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::string ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace tessel::aaf::test
