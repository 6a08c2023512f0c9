#include <gtest/gtest.h>

#include "qstring_printer.h"

#include "app/default_output_name.h"

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
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DefaultOutputName(QString::fromUtf8(c.input)), QString::fromUtf8(c.expected))
            << c.input;
    }
}
