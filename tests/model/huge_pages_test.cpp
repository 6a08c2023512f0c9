#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/memory.h"

#if defined(__linux__) && defined(__GLIBC__)
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kOwnAllocator = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kOwnAllocator = true;
#else
constexpr bool kOwnAllocator = false;
#endif
#else
constexpr bool kOwnAllocator = false;
#endif

#if defined(__linux__) && defined(__GLIBC__)

// The flags of the mappings that lie in [first, end), as /proc/self/smaps lists them.
std::vector<std::string> MappingFlagsBetween(std::uintptr_t first, std::uintptr_t end) {
    std::ifstream smaps("/proc/self/smaps");
    std::vector<std::string> flags;
    std::string line;
    bool inside = false;
    while (std::getline(smaps, line)) {
        std::uintptr_t from = 0;
        std::uintptr_t to = 0;
        char dash = 0;
        std::istringstream fields(line);
        if (line.find(' ') != std::string::npos && (fields >> std::hex >> from >> dash >> to) &&
            dash == '-') {
            inside = from < end && to > first;
        } else if (inside && line.starts_with("VmFlags:")) {
            flags.push_back(line);
        }
    }
    return flags;
}

bool KernelHasHugePages() {
    return std::filesystem::exists("/sys/kernel/mm/transparent_hugepage");
}

// Every mapping in [first, end) asks for huge pages; there is at least one.
void ExpectAdvisedForHugePages(std::uintptr_t first, std::uintptr_t end) {
    const std::vector<std::string> flags = MappingFlagsBetween(first, end);
    ASSERT_FALSE(flags.empty());
    for (const std::string& line : flags) {
        EXPECT_NE(line.find(" hg"), std::string::npos) << line;
    }
}

// The heap grows once by the reserve, the reserve is advised for huge pages, a second call
// changes nothing, and blocks of every size come and go as before.
TEST(HugePagesTest, TheHeapGrowsOnceAndAsksForHugePages) {
    if (kOwnAllocator) {
        GTEST_SKIP() << "the sanitizer's allocator replaces glibc's heap";
    }
    if (!KernelHasHugePages()) {
        GTEST_SKIP() << "this kernel has no transparent huge pages";
    }
    constexpr std::size_t kReserve = std::size_t{64} << 20;
    const auto before = reinterpret_cast<std::uintptr_t>(sbrk(0));
    tessel::platform::ReserveHugePageHeap(kReserve);
    const auto after = reinterpret_cast<std::uintptr_t>(sbrk(0));
    ASSERT_GE(after, before + kReserve);

    // Whole huge pages only: the heap's last, partial one is left as it was.
    const std::uintptr_t wholeEnd =
        after / tessel::platform::kHugePageSize * tessel::platform::kHugePageSize;
    ASSERT_NO_FATAL_FAILURE(ExpectAdvisedForHugePages(after - kReserve / 2, wholeEnd));

    tessel::platform::ReserveHugePageHeap(kReserve);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(sbrk(0)), after);

    std::vector<unsigned char*> blocks;
    for (std::size_t i = 0; i < 20'000; ++i) {
        const std::size_t size = i % 1000 == 999 ? (std::size_t{3} << 20) : 1 + i % 300;
        auto* block = static_cast<unsigned char*>(std::malloc(size));
        ASSERT_NE(block, nullptr);
        std::memset(block, static_cast<int>(i % 251), size);
        blocks.push_back(block);
    }
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        EXPECT_EQ(blocks[i][0], i % 251);
        std::free(blocks[i]);
    }
}

// A long input file is mapped, and the mapping asks for huge pages (read ahead in huge folios
// when the file is not cached yet). The bytes are the file's all the same.
TEST(HugePagesTest, AMappedInputFileAsksForHugePages) {
    if (!KernelHasHugePages()) {
        GTEST_SKIP() << "this kernel has no transparent huge pages";
    }
    const std::filesystem::path path = std::filesystem::path(::testing::TempDir()) /
                                       ("tessel-mapped-" + std::to_string(::getpid()) + ".bin");
    std::string content(std::size_t{3} << 20, '\0');
    for (std::size_t i = 0; i < content.size(); ++i) {
        content[i] = static_cast<char>(i * 131 + i / 4093);
    }
    std::ofstream(path, std::ios::binary) << content;

    tessel::platform::InputFile::Problem problem{};
    tessel::platform::SystemError error{};
    const auto file = tessel::platform::InputFile::Open(path.string(), UINT64_MAX, problem, error);
    std::filesystem::remove(path);
    ASSERT_NE(file, nullptr);
    const std::span<const std::uint8_t> bytes = file->Bytes();
    ASSERT_EQ(bytes.size(), content.size());
    EXPECT_EQ(std::memcmp(bytes.data(), content.data(), content.size()), 0);

    const auto first = reinterpret_cast<std::uintptr_t>(bytes.data());
    ASSERT_NO_FATAL_FAILURE(ExpectAdvisedForHugePages(first, first + bytes.size()));
}

// Under a limit on address space or data (ulimit -v, ulimit -d), reserved heap would count
// against what the conversion itself needs: nothing is reserved. Tried in a child process, which
// the limit and the once-only reservation leave behind them.
TEST(HugePagesTest, ALimitedAddressSpaceIsLeftAlone) {
    if (kOwnAllocator) {
        GTEST_SKIP() << "the sanitizer's allocator replaces glibc's heap";
    }
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        rlimit limit{};
        getrlimit(RLIMIT_DATA, &limit);
        // Finite, and far more than this test uses (no more than the hard limit allows).
        limit.rlim_cur = std::min(rlim_t{64} << 30, limit.rlim_max);
        if (setrlimit(RLIMIT_DATA, &limit) != 0) {
            _exit(2);
        }
        const void* before = sbrk(0);
        tessel::platform::ReserveHugePageHeap(std::size_t{64} << 20);
        _exit(sbrk(0) == before ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: the heap grew; 2: the limit could not be set";
}

#endif

// Sizes the C library cannot take are refused without harm, on every system.
TEST(HugePagesTest, UnusableSizesChangeNothing) {
    tessel::platform::ReserveHugePageHeap(0);
    tessel::platform::ReserveHugePageHeap(std::size_t{1} << 40);
    void* block = std::malloc(100);
    EXPECT_NE(block, nullptr);
    std::free(block);
}

}  // namespace
