#include "model/log.h"

#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace {

struct RecordingTarget : LogTarget {
    std::vector<std::pair<int, std::string>> lines;
    void TakeLogLine(int kind, std::string line) override {
        lines.emplace_back(kind, std::move(line));
    }
};

class LogTest : public ::testing::Test {
  protected:
    void TearDown() override { SetLogTarget(nullptr); }
};

TEST_F(LogTest, LinesEndInCarriageReturnLineFeedAndKeepTheirKind) {
    RecordingTarget target;
    SetLogTarget(&target);
    LogLine("Finished!", kLogMilestone);
    LogLine("", kLogProgress);
    LogLine("Found more than one title text in a.etl", kLogWarning);
    ASSERT_EQ(target.lines.size(), 3u);
    EXPECT_EQ(target.lines[0], std::make_pair(2, std::string("Finished!\r\n")));
    EXPECT_EQ(target.lines[1], std::make_pair(0, std::string("\r\n")));
    EXPECT_EQ(target.lines[2].first, 3);
}

TEST_F(LogTest, LinesWithoutTargetAreDropped) {
    LogLine("lost", kLogError);
    RecordingTarget target;
    SetLogTarget(&target);
    EXPECT_EQ(GetLogTarget(), &target);
    SetLogTarget(nullptr);
    LogLine("lost too", kLogError);
    EXPECT_TRUE(target.lines.empty());
}

TEST_F(LogTest, ALineFromAnotherThreadIsTakenBeforeLogLineReturns) {
    RecordingTarget target;
    SetLogTarget(&target);
    size_t seenAfterReturn = 0;
    std::thread worker([&] {
        LogLine("Convertion done.", kLogProgress);
        seenAfterReturn = target.lines.size();
    });
    worker.join();
    EXPECT_EQ(seenAfterReturn, 1u);
}

}  // namespace
