#include <gtest/gtest.h>

#include "app/shared/default_output_name.h"

TEST(DefaultOutputName, CutsThePathAtItsLastDot) {
    const struct {
        const char* input;
        const char* expected;
    } cases[] = {
        {"/home/cut/timeline.aaf", "/home/cut/timeline"},
        {"/home/cut/timeline.AAF", "/home/cut/timeline"},
        {"/home/cut/timeline.v2.aaf", "/home/cut/timeline.v2"},
        {"/home/cut/timeline", ""},
        {"", ""},
        {"/home/cut.d/timeline", "/home/cut"},  // only a folder name has a "."
        {"timeline.", "timeline"},
        {".aaf", ""},
        {"/home/Über/プロジェクト.aaf",
         "/home/Über/プロジェクト"},  // UTF-8 units never look like "."
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DefaultOutputName(c.input), c.expected) << c.input;
    }
}
