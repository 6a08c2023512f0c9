#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "model/edit_arithmetic.h"
#include "xmeml/clip_item_writer.h"
#include "xmeml/filter_writer.h"
#include "xmeml/transition_writer.h"

namespace {

TEST(ScaledBySpeed, MultipliesFirstAndTruncatesTowardZero) {
    struct Case {
        int64_t value;
        int32_t numerator, denominator;
        int64_t expected;
    };
    const Case cases[] = {
        {100, 1, 1, 100},
        {50, 2, 1, 100},
        {50, 1, 2, 25},
        {51, 1, 2, 25},
        {-51, 1, 2, -25},
        {100, 3, 7, 42},
        {100, 0, 1, 0},
        {100, 7, 0, 100},                                              // undefined speed: unscaled
        {3'000'000'000, 2'000'000'000, 2'000'000'000, 3'000'000'000},  // 64-bit product
        {INT64_MIN, 1, -1, INT64_MIN},  // wraps instead of overflowing
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ScaledBySpeed(c.value, c.numerator, c.denominator), c.expected)
            << c.value << " * " << c.numerator << " / " << c.denominator;
    }
}

TEST(SpeedPercentText, IsTheInverseSpeedWithFiveDecimals) {
    struct Case {
        int32_t numerator, denominator;
        const char* expected;
    };
    const Case cases[] = {
        {1, 1, "100.00000"},
        {2, 1, "50.00000"},
        {1, 2, "200.00000"},
        {3, 1, "33.33333"},
        {2, 2, "100.00000"},
        {2, 3, "150.00000"},
        {0, 1, "0.00000"},
        {0, 0, "0.00000"},
        {1, 0, "0.00000"},
        {INT32_MAX, 1, "0.00000"},
        {1, INT32_MAX, "214748364700.00000"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SpeedPercentText(c.numerator, c.denominator), c.expected)
            << c.numerator << "/" << c.denominator;
    }
}

TEST(PixelAspectRatioText, FollowsTheTableAtTruncatedThousandths) {
    struct Case {
        int32_t numerator, denominator;
        uint32_t width;
        const char* expected;
    };
    const Case cases[] = {
        {4, 5, 720, "NTSC-601"},
        {1, 1, 1920, "square"},
        {16, 15, 720, "PAL-601"},
        {32, 27, 1280, "HD-(1280x1080)"},
        {32, 27, 720, "NTSC-601"},
        {4, 3, 1440, "HD-(1440x1080)"},
        {4, 3, 720, "HD-(960x720)"},
        {4, 3, 0, "HD-(960x720)"},
        {64, 45, 720, "PAL-601"},
        {16, 9, 1920, ""},
        {1333, 1000, 1440, "HD-(1440x1080)"},
        {1334, 1000, 1440, ""},
        {-4, -3, 1440, "HD-(1440x1080)"},
        {0, 1, 720, ""},
        {0, 0, 720, ""},
        {5, 0, 720, ""},
        {INT32_MAX, 1, 720, ""},
        {INT32_MIN, -1, 720, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PixelAspectRatioText(c.numerator, c.denominator, c.width), c.expected)
            << c.numerator << "/" << c.denominator << " width " << c.width;
    }
}

TEST(FieldDominanceText, NamesTheFirstField) {
    EXPECT_EQ(FieldDominanceText(0), "none");
    EXPECT_EQ(FieldDominanceText(1), "lower");
    EXPECT_EQ(FieldDominanceText(2), "upper");
    EXPECT_EQ(FieldDominanceText(3), "none");
    EXPECT_EQ(FieldDominanceText(-1), "none");
}

TEST(TransitionAlignment, ComesFromTheCutPoint) {
    EXPECT_EQ(TransitionAlignment(0, 10), "start");
    EXPECT_EQ(TransitionAlignment(10, 10), "end");
    EXPECT_EQ(TransitionAlignment(5, 10), "center");
    EXPECT_EQ(TransitionAlignment(0, 0), "start");  // the first test wins
    EXPECT_EQ(TransitionAlignment(-3, 10), "center");
    EXPECT_EQ(TransitionAlignment(12, 10), "center");
}

}  // namespace
