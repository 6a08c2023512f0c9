#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <string_view>
#include <utility>

#include "encoded_texts.h"
#include "titles/xml_decoding.h"
#include "titles/xml_well_formed.h"

namespace {

std::string Declared(std::string_view encoding, std::string_view body) {
    return "<?xml version=\"1.0\" encoding=\"" + std::string(encoding) + "\"?><t>" +
           std::string(body) + "</t>";
}

TEST(DecodeXmlDocument, DeclaredEncodingsGiveTheirText) {
    for (const EncodedText& c : kEncodedTexts) {
        SCOPED_TRACE(c.encoding);
        std::string utf8;
        if (!SystemHasTable(c)) {
            EXPECT_FALSE(DecodeXmlDocument(Declared(c.encoding, HexBytes(c.bytes)), utf8));
            continue;
        }
        ASSERT_TRUE(DecodeXmlDocument(Declared(c.encoding, HexBytes(c.bytes)), utf8));
        EXPECT_EQ(utf8, Declared(c.encoding, c.text));
        EXPECT_TRUE(IsWellFormedXml(utf8));
        // Names are compared without regard to case.
        std::string lower = c.encoding;
        for (char& ch : lower) {
            ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        }
        utf8.clear();
        EXPECT_TRUE(DecodeXmlDocument(Declared(lower, HexBytes(c.bytes)), utf8));
    }
}

std::string Utf16(std::u16string_view text, bool bigEndian) {
    std::string bytes;
    for (const char16_t unit : text) {
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

std::string Utf32(std::u32string_view text, bool bigEndian) {
    std::string bytes;
    for (const char32_t value : text) {
        for (int i = 0; i < 4; ++i) {
            const int shift = bigEndian ? 24 - 8 * i : 8 * i;
            bytes += static_cast<char>((value >> shift) & 0xFF);
        }
    }
    return bytes;
}

TEST(DecodeXmlDocument, UnicodeFormsByMarkOrFirstCharacters) {
    const std::string expected = "<?xml version=\"1.0\"?><t>Grüße 🎬</t>";
    const std::u16string text16 = u"<?xml version=\"1.0\"?><t>Grüße 🎬</t>";
    const std::u32string text32 = U"<?xml version=\"1.0\"?><t>Grüße 🎬</t>";
    const std::u16string declared16 = u"<?xml version=\"1.0\" encoding=\"UTF-16\"?><t/>";
    const std::pair<const char*, std::string> cases[] = {
        {"UTF-8 without a mark", expected},
        {"UTF-8 with a mark", "\xEF\xBB\xBF" + expected},
        {"UTF-16LE with a mark", "\xFF\xFE" + Utf16(text16, false)},
        {"UTF-16BE with a mark", "\xFE\xFF" + Utf16(text16, true)},
        {"UTF-16LE without a mark", Utf16(text16, false)},
        {"UTF-16BE without a mark", Utf16(text16, true)},
        {"UTF-32LE with a mark", std::string("\xFF\xFE\x00\x00", 4) + Utf32(text32, false)},
        {"UTF-32BE with a mark", std::string("\x00\x00\xFE\xFF", 4) + Utf32(text32, true)},
        {"UTF-32LE without a mark", Utf32(text32, false)},
        {"UTF-32BE without a mark", Utf32(text32, true)},
    };
    for (const auto& [what, bytes] : cases) {
        SCOPED_TRACE(what);
        std::string utf8;
        ASSERT_TRUE(DecodeXmlDocument(bytes, utf8));
        EXPECT_EQ(utf8, expected);
    }
    std::string utf8;
    EXPECT_TRUE(DecodeXmlDocument("\xFF\xFE" + Utf16(declared16, false), utf8));
    EXPECT_EQ(utf8, "<?xml version=\"1.0\" encoding=\"UTF-16\"?><t/>");
}

TEST(DecodeXmlDocument, RefusesWhatAConformingParserRefuses) {
    const std::pair<const char*, std::string> cases[] = {
        {"an unknown encoding", Declared("x-unknown-42", "abc")},
        {"an encoding without an agreed table", Declared("ISO-2022-JP", "abc")},
        {"a byte Shift_JIS does not define", Declared("Shift_JIS", HexBytes("93 fa 96"))},
        {"a byte windows-1252 does not define", Declared("windows-1252", HexBytes("81"))},
        {"a byte ISO-8859-7 does not define", Declared("ISO-8859-7", HexBytes("ae"))},
        {"a byte EUC-KR does not define", Declared("EUC-KR", HexBytes("ff ff"))},
        {"eight bits declared US-ASCII", Declared("US-ASCII", HexBytes("e9"))},
        {"UTF-16 declared without 16-bit units", Declared("UTF-16", "abc")},
        {"a UTF-8 mark on a Shift_JIS declaration", "\xEF\xBB\xBF" + Declared("Shift_JIS", "")},
        {"a UTF-16 mark on a UTF-8 declaration",
         "\xFF\xFE" + Utf16(u"<?xml version=\"1.0\" encoding=\"UTF-8\"?><t/>", false)},
        {"a UTF-16 mark on a UTF-32 declaration",
         "\xFF\xFE" + Utf16(u"<?xml version=\"1.0\" encoding=\"UTF-32\"?><t/>", false)},
        {"an odd number of UTF-16 bytes", "\xFF\xFE<\x00t\x00/\x00>"},
        {"a lone high surrogate", "\xFF\xFE" + Utf16(u"<t>\xD800</t>", false)},
        {"a lone low surrogate", "\xFE\xFF" + Utf16(u"<t>\xDC00</t>", true)},
        {"UTF-32 beyond U+10FFFF", Utf32(U"<t>\U0010FFFF", false) + HexBytes("00 00 11 00")},
    };
    for (const auto& [what, bytes] : cases) {
        std::string utf8;
        EXPECT_FALSE(DecodeXmlDocument(bytes, utf8)) << what;
    }
}

TEST(IsWellFormedXml, AcceptsOnlyWellFormedDocuments) {
    const std::pair<const char*, std::string> wellFormed[] = {
        {"an element", "<t/>"},
        {"a declaration naming another encoding", Declared("Shift_JIS", "日本")},
        {"predefined entities and character references", "<t>&amp;&lt;&#x65E5;&#26412;</t>"},
        {"an internal entity", "<!DOCTYPE t [<!ENTITY e \"x\">]><t>&e;</t>"},
        {"an external entity, not loaded",
         "<!DOCTYPE t [<!ENTITY e SYSTEM \"/nonexistent/e.txt\">]><t>&e;</t>"},
    };
    for (const auto& [what, text] : wellFormed) {
        EXPECT_TRUE(IsWellFormedXml(text)) << what;
    }
    const std::pair<const char*, std::string> illFormed[] = {
        {"empty", ""},
        {"a bare ampersand", "<t>Tom & Jerry</t>"},
        {"an undeclared entity", "<t>&nbsp;</t>"},
        {"two root elements", "<t/><u/>"},
        {"text after the root", "<t/>x"},
        {"an unclosed element", "<t><u></t>"},
        {"invalid UTF-8", "<t>caf\xE9</t>"},
        {"a surrogate in UTF-8", "<t>\xED\xA0\x80</t>"},
        {"a reference to a control character", "<t>&#1;</t>"},
        {"a reference to U+FFFE", "<t>&#xFFFE;</t>"},
        {"a control character", "<t>\x01</t>"},
        {"a NUL", std::string("<t>\0</t>", 8)},
        {"a duplicate attribute", "<t a=\"1\" a=\"2\"/>"},
        {"a less-than in an attribute", "<t a=\"<\"/>"},
        {"a declaration that is not first", " <?xml version=\"1.0\"?><t/>"},
        {"a malformed encoding name", "<?xml version=\"1.0\" encoding=\"1x\"?><t/>"},
    };
    for (const auto& [what, text] : illFormed) {
        EXPECT_FALSE(IsWellFormedXml(text)) << what;
    }
}

}  // namespace
