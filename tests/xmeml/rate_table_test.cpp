#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "model/rate_table.h"
#include "xmeml/xml_document.h"

namespace {

struct RateCase {
    int32_t numerator;
    int32_t denominator;
    const char* expected;  // the "rate" element's content
};

std::string RateXml(int32_t numerator, int32_t denominator) {
    FCXmlDocument xml;
    xml.Create();
    XmlElement rate = xml.AddElement(xml.GetRoot(), "rate");
    xml.WriteRate(rate, numerator, denominator);
    std::string text = xml.ToString();
    const auto start = text.find("<rate>");
    const auto end = text.find("</rate>");
    return text.substr(start + 6, end - start - 6);
}

TEST(WriteRate, FollowsTheTableAtTruncatedThousandths) {
    const RateCase cases[] = {
        {24000, 1001, "<ntsc>TRUE</ntsc><timebase>24</timebase>"},
        {24, 1, "<ntsc>FALSE</ntsc><timebase>24</timebase>"},
        {25, 1, "<ntsc>FALSE</ntsc><timebase>25</timebase>"},
        {25000, 1000, "<ntsc>FALSE</ntsc><timebase>25</timebase>"},
        {30000, 1001, "<ntsc>TRUE</ntsc><timebase>30</timebase>"},
        {2997, 100, "<ntsc>TRUE</ntsc><timebase>30</timebase>"},
        {30, 1, "<ntsc>FALSE</ntsc><timebase>30</timebase>"},
        {50, 1, "<ntsc>FALSE</ntsc><timebase>50</timebase>"},
        {60000, 1001, "<ntsc>TRUE</ntsc><timebase>60</timebase>"},
        {5994, 100, "<ntsc>TRUE</ntsc><timebase>60</timebase>"},
        {60, 1, "<ntsc>FALSE</ntsc><timebase>60</timebase>"},
        {-25, -1, "<ntsc>FALSE</ntsc><timebase>25</timebase>"},
        // Not in the table: both elements are still written, empty.
        {2996999, 100000, "<ntsc/><timebase/>"},
        {48000, 1, "<ntsc/><timebase/>"},
        {15, 1, "<ntsc/><timebase/>"},
        {-25, 1, "<ntsc/><timebase/>"},
        {0, 1, "<ntsc/><timebase/>"},
        // An undefined rate is never divided.
        {25, 0, "<ntsc/><timebase/>"},
        {0, 0, "<ntsc/><timebase/>"},
    };
    for (const RateCase& c : cases) {
        EXPECT_EQ(RateXml(c.numerator, c.denominator), c.expected)
            << c.numerator << "/" << c.denominator;
    }
}

TEST(LookupRate, GivesTheTimebaseForTheTimecodeDefault) {
    ASSERT_TRUE(LookupRate(30000, 1001));
    EXPECT_EQ(LookupRate(30000, 1001)->timebase, 30);
    EXPECT_TRUE(LookupRate(30000, 1001)->ntsc);
    EXPECT_FALSE(LookupRate(48000, 1));
    EXPECT_FALSE(LookupRate(1, 0));
}

struct PortableRateCase {
    int32_t numerator;
    int32_t denominator;
    bool ntsc;
    int32_t timebase;
};

TEST(PortableRate, KeepsTheTableAndRoundsEveryOtherRate) {
    const PortableRateCase cases[] = {
        // The table's rows stay as they are, truncation included.
        {24000, 1001, true, 24},
        {2997, 100, true, 30},
        {25000, 1000, false, 25},
        {-25, -1, false, 25},
        {60, 1, false, 60},
        // Outside the table: the nearest whole rate, halves up.
        {48000, 1, false, 48000},
        {15, 1, false, 15},
        {2996999, 100000, false, 30},
        {125, 10, false, 13},
        {1249, 100, false, 12},
        {1, 2, false, 1},
        // n*1000/1001 exactly, for an n the table lacks: ntsc with timebase n, also where
        // rounding would give n-1.
        {48000, 1001, true, 48},
        {120000, 1001, true, 120},
        {15000, 1001, true, 15},
        {-48000, -1001, true, 48},
        {600000, 1001, true, 600},
        // Whole rates are never ntsc, though 48000 = 48048*1000/1001.
        {1000, 1, false, 1000},
        {96000, 2, false, 48000},
        // Near n*1000/1001 but not equal: not ntsc.
        {47952, 1000, false, 48},
        {48001, 1001, false, 48},
        // Undefined, zero, negative and tiny rates give timebase 1, never 0.
        {25, 0, false, 1},
        {0, 0, false, 1},
        {0, 1, false, 1},
        {-25, 1, false, 1},
        {1, 3, false, 1},
        // The 32-bit extremes neither overflow nor lose their sign.
        {INT32_MIN, -1, false, INT32_MAX},
        {INT32_MAX, 1, false, INT32_MAX},
        {INT32_MAX, INT32_MAX, false, 1},
        {INT32_MIN, 1, false, 1},
    };
    for (const PortableRateCase& c : cases) {
        const RateTimebase rate = PortableRate(c.numerator, c.denominator);
        EXPECT_EQ(rate.ntsc, c.ntsc) << c.numerator << "/" << c.denominator;
        EXPECT_EQ(rate.timebase, c.timebase) << c.numerator << "/" << c.denominator;
    }
}

struct TimecodeCase {
    int32_t timebase;
    int32_t drop;
    int64_t frame;
    const char* expected;
};

TEST(WriteTimecode, DisplayFormatFollowsTheTimebaseAndNtscTheDropFlag) {
    const TimecodeCase cases[] = {
        {25, 0, 900000,
         "<frame>900000</frame><displayformat>NDF</displayformat>"
         "<rate><ntsc>FALSE</ntsc><timebase>25</timebase></rate>"},
        {30, 0, 0,
         "<frame>0</frame><displayformat>DF</displayformat>"
         "<rate><ntsc>FALSE</ntsc><timebase>30</timebase></rate>"},
        {25, 1, 1,
         "<frame>1</frame><displayformat>NDF</displayformat>"
         "<rate><ntsc>TRUE</ntsc><timebase>25</timebase></rate>"},
        {60, 1, -5,
         "<frame>-5</frame><displayformat>NDF</displayformat>"
         "<rate><ntsc>TRUE</ntsc><timebase>60</timebase></rate>"},
        {65535, 7, INT64_MAX,
         "<frame>9223372036854775807</frame><displayformat>NDF</displayformat>"
         "<rate><ntsc>TRUE</ntsc><timebase>65535</timebase></rate>"},
    };
    for (const TimecodeCase& c : cases) {
        FCXmlDocument xml;
        xml.Create();
        XmlElement timecode = xml.AddElement(xml.GetRoot(), "timecode");
        xml.WriteTimecode(timecode, c.timebase, c.drop, c.frame);
        EXPECT_EQ(xml.ToString(), std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                              "<xmeml version=\"4\"><timecode>") +
                                      c.expected + "</timecode></xmeml>\n")
            << c.timebase << " " << c.drop << " " << c.frame;
    }
}

}  // namespace
