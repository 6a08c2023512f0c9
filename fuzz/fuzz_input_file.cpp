#include "fuzz_input_file.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace tessel::fuzz {

namespace {

[[noreturn]] void Die(const std::string& what) {
    std::fprintf(stderr, "fuzz harness: %s\n", what.c_str());
    std::abort();
}

// Memory-backed when the machine offers it: every input is written once per run.
std::string TemporaryRoot() {
    std::error_code error;
    if (std::filesystem::is_directory("/dev/shm", error)) {
        return "/dev/shm";
    }
    return std::filesystem::temp_directory_path().string();
}

}  // namespace

FuzzInputFile::FuzzInputFile(const std::string& fileName) {
    std::string pattern = TemporaryRoot() + "/tessel-fuzz-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
        Die("cannot make a temporary folder under " + TemporaryRoot());
    }
    folder_ = pattern;
    path_ = folder_ + "/" + fileName;
}

FuzzInputFile::~FuzzInputFile() {
    std::error_code error;
    std::filesystem::remove_all(folder_, error);
}

void FuzzInputFile::Write(const std::uint8_t* data, std::size_t size) const {
    std::ofstream out(path_, std::ios::binary | std::ios::trunc);
    if (size > 0) {
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    out.close();
    if (!out) {
        Die("cannot write " + path_);
    }
}

std::string FuzzInputFile::Sibling(const std::string& fileName) const {
    return folder_ + "/" + fileName;
}

}  // namespace tessel::fuzz
