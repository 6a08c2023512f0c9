#include <gtest/gtest.h>

#include "app/shared/progress_log.h"
#include "model/log.h"

TEST(ProgressLog, ErrorsAndMilestonesBecomeTheStatusLineEveryKindTheLog) {
    const struct {
        int kind;
        bool status;
    } cases[] = {
        {kLogProgress, false}, {kLogError, true}, {kLogMilestone, true},
        {kLogWarning, false},  {7, false},        {-1, false},
    };
    for (const auto& c : cases) {
        ProgressLog log;
        log.Take(kLogMilestone, "Start of Convertion...\r\n");
        EXPECT_EQ(log.Take(c.kind, "line\r\n"), c.status) << c.kind;
        EXPECT_EQ(log.Status(), c.status ? "line\r\n" : "Start of Convertion...\r\n") << c.kind;
        EXPECT_EQ(log.Log(), "Start of Convertion...\r\nline\r\n") << c.kind;
    }
}

TEST(ProgressLog, ANewConversionEmptiesTheLogAndKeepsTheStatusLine) {
    ProgressLog log;
    log.Take(kLogMilestone, "Finished!\r\n");
    EXPECT_EQ(log.ShownStatus(), "Finished!");
    log.StartConversion();
    EXPECT_TRUE(log.Log().empty());
    EXPECT_EQ(log.Status(), "Finished!\r\n");

    log.Take(kLogError, "no line break");
    EXPECT_EQ(log.ShownStatus(), "no line break");
}
