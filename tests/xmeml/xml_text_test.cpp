#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "xmeml/xml_document.h"
#include "xmeml/xml_text.h"

namespace {

using namespace std::string_literals;

struct TextCase {
    const char* what;
    std::string in;
    std::string kept;
};

const TextCase kCases[] = {
    {"empty", "", ""},
    {"plain ASCII", "clip 01.mov", "clip 01.mov"},
    {"tab, line feed and carriage return stay", "a\tb\nc\rd", "a\tb\nc\rd"},
    {"DEL is a character XML allows",
     "a\x7f"
     "b",
     "a\x7f"
     "b"},
    {"NUL in the middle", "ab\0cd"s, "abcd"},
    {"every other C0 control", "\x01\x02\x08\x0b\x0c\x0e\x1f", ""},
    {"controls around kept text", "\x1b[1mbold\x1b[0m", "[1mbold[0m"},
    {"two-byte characters",
     "Gr\xc3\xbc\xc3\x9f"
     "e",
     "Gr\xc3\xbc\xc3\x9f"
     "e"},
    {"C1 controls are allowed", "\xc2\x85", "\xc2\x85"},
    {"three-byte characters", "\xe6\x97\xa5\xe6\x9c\xac", "\xe6\x97\xa5\xe6\x9c\xac"},
    {"last before the surrogates", "\xed\x9f\xbf", "\xed\x9f\xbf"},
    {"a high surrogate alone", "a\xed\xa0\x80z", "az"},
    {"a low surrogate alone", "a\xed\xbf\xbfz", "az"},
    {"a pair encoded as two surrogates", "\xed\xa0\xbd\xed\xb8\x80", ""},
    {"U+FFFD stays", "\xef\xbf\xbd", "\xef\xbf\xbd"},
    {"U+FFFE", "a\xef\xbf\xbe", "a"},
    {"U+FFFF", "\xef\xbf\xbfz", "z"},
    {"four-byte characters", "\xf0\x9f\x8e\xac", "\xf0\x9f\x8e\xac"},
    {"U+10FFFF stays", "\xf4\x8f\xbf\xbf", "\xf4\x8f\xbf\xbf"},
    {"beyond U+10FFFF", "a\xf4\x90\x80\x80z", "az"},
    {"Latin-1 byte", "caf\xe9.mov", "caf.mov"},
    {"overlong slash",
     "a\xc0\xaf"
     "b",
     "ab"},
    {"overlong three-byte", "\xe0\x80\xaf", ""},
    {"overlong four-byte", "\xf0\x80\x80\xaf", ""},
    {"lone continuation bytes", "\x80x\xbf", "x"},
    {"truncated at the end", "ok\xe6\x97", "ok"},
    {"truncated before ASCII", "\xe6\x97z", "z"},
    {"truncated before a whole character", "\xf0\x9f\xc3\xa9", "\xc3\xa9"},
    {"bytes that never start UTF-8", "\xf5\xf8\xfe\xff", ""},
};

TEST(XmlText, LeavesOutWhatXmlCannotCarry) {
    for (const TextCase& c : kCases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(XmlText(c.in), c.kept);
        EXPECT_EQ(IsXmlText(c.in), c.in == c.kept);
        std::string out = "before|";
        AppendXmlText(c.in, out);
        EXPECT_EQ(out, "before|" + c.kept);
        // What is kept is kept as it stands.
        EXPECT_TRUE(IsXmlText(c.kept));
        EXPECT_EQ(XmlText(c.kept), c.kept);
    }
}

TEST(XmlText, EveryByteAloneIsKeptOrLeftOut) {
    for (int value = 0; value < 256; ++value) {
        const std::string byte(1, static_cast<char>(value));
        const bool allowed =
            value == '\t' || value == '\n' || value == '\r' || (value >= 0x20 && value < 0x80);
        EXPECT_EQ(XmlText(byte), allowed ? byte : "") << value;
    }
}

// Long ASCII runs are checked several bytes at a time: a byte to leave out or to keep is found
// at every position of such a run.
TEST(XmlText, EveryPositionOfALongRunIsChecked) {
    for (const char odd : {'\x01', '\x1f', '\x80', '\xff', '\t', '\r', '~', '\x7f'}) {
        const auto byte = static_cast<unsigned char>(odd);
        const bool kept = (byte >= 0x20 && byte < 0x80) || odd == '\t' || odd == '\r';
        for (size_t position = 0; position < 40; ++position) {
            std::string text(40, 'a');
            text[position] = odd;
            std::string expected = text;
            if (!kept) {
                expected.erase(position, 1);
            }
            EXPECT_EQ(XmlText(text), expected) << int{byte} << " at " << position;
            EXPECT_EQ(IsXmlText(text), kept) << int{byte} << " at " << position;
        }
    }
}

// The writer applies the filter to every text and attribute it sets.
TEST(XmlText, TheDocumentNeverHoldsForbiddenCharacters) {
    FCXmlDocument xml;
    ASSERT_TRUE(xml.Create());
    const XmlElement name = xml.AddElement(xml.GetRoot(), "name");
    EXPECT_TRUE(xml.SetAttribute(name, "id", "x\x07y"));
    EXPECT_TRUE(xml.SetText(name,
                            "A\x01"
                            "B\xff"
                            "C"));
    xml.AddTextElement(xml.GetRoot(), "pathurl", "\x02\x03");
    xml.AddParameter(xml.GetRoot(), "id\x04", "na\x05me", "va\x06lue");
    const XmlElement text = xml.AddElement(xml.GetRoot(), "text");
    EXPECT_TRUE(xml.SetText(text, "t\x08\xed\xa0\x80u"));
    EXPECT_EQ(xml.ToString(),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<xmeml version=\"4\"><name id=\"xy\">ABC</name><pathurl/>"
              "<parameter><name>name</name><parameterid>id</parameterid>"
              "<value>value</value></parameter><text>tu</text></xmeml>\n");
}

}  // namespace
