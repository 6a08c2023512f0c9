// The dialog converts on a thread of its own that ends after each conversion. Whatever the
// conversion leaves in per-thread storage must be released cleanly when that thread ends; MinGW
// builds once corrupted the heap there, and it showed only conversions later.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <string>

#include "job/conversion_job.h"
#include "model/log.h"

namespace {

// Keeps the lines as the dialog does, on the thread that logs them.
struct KeptLog : LogTarget {
    std::string lines;
    void TakeLogLine(int, std::string line) override { lines += line; }
};

DWORD WINAPI Convert(LPVOID parameter) {
    ConversionThread(*static_cast<const ConversionRequest*>(parameter), nullptr);
    return 0;
}

void ConvertOnAThreadThatEnds(const ConversionRequest& request) {
    HANDLE thread =
        CreateThread(nullptr, 0, Convert, const_cast<ConversionRequest*>(&request), 0, nullptr);
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
}

// Every heap of the process, checked block by block.
bool HeapsAreSound() {
    HANDLE heaps[256];
    const DWORD count = GetProcessHeaps(256, heaps);
    for (DWORD i = 0; i < count && i < 256; ++i) {
        if (!HeapValidate(heaps[i], 0, nullptr)) {
            return false;
        }
    }
    return count > 0;
}

}  // namespace

TEST(ThreadExit, ConversionsOnEndingThreadsLeaveTheHeapSound) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() /
        ("tessel-thread-exit-" + std::to_string(GetCurrentProcessId()));
    std::filesystem::create_directories(folder);

    // The example reads its title document; the missing input leaves an open error behind.
    ConversionRequest converts;
    converts.inputPath = TESSEL_EXAMPLES_DIR "/edius_example.aaf";
    converts.outputPath = (folder / "edius_example.xml").string();
    ConversionReport report;
    converts.report = &report;
    ConversionRequest fails = converts;
    fails.inputPath = (folder / "missing.aaf").string();

    KeptLog log;
    SetLogTarget(&log);
    for (int round = 0; round < 3; ++round) {
        LogLine("Start of Convertion...", kLogMilestone);
        ASSERT_NO_FATAL_FAILURE(ConvertOnAThreadThatEnds(converts));
        EXPECT_TRUE(report.converted) << report.error;
        ASSERT_TRUE(HeapsAreSound()) << "after converting, round " << round;
        ASSERT_NO_FATAL_FAILURE(ConvertOnAThreadThatEnds(fails));
        EXPECT_FALSE(report.converted);
        ASSERT_TRUE(HeapsAreSound()) << "after a failed open, round " << round;
    }
    SetLogTarget(nullptr);
    std::filesystem::remove_all(folder);
}
