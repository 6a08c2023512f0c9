#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "encoded_texts.h"
#include "model/log.h"
#include "titles/title_document.h"
#include "titles/title_search.h"

namespace fs = std::filesystem;

namespace {

class RecordingLog : public LogTarget {
  public:
    void TakeLogLine(int kind, std::string line) override {
        lines.emplace_back(kind, std::move(line));
    }
    std::vector<std::pair<int, std::string>> lines;
};

std::string TitleXml(const std::string& textObjects) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<TitleDocument>\n  "
           "<m_nVersion>3</m_nVersion>\n  <m_TitleObList>\n" +
           textObjects + "  </m_TitleObList>\n</TitleDocument>\n";
}

std::string TextObject(const std::string& text, const std::string& font, const std::string& size) {
    return "    <CCtsTextObject>\n      <CCtsTitleObject>\n        <m_sText>" + text +
           "</m_sText>\n        <m_sFontName>" + font +
           "</m_sFontName>\n        <TitleFont><iSize>" + size +
           "</iSize><bBold>1</bBold><bItalic>0</bItalic><bUnderline>0</bUnderline>"
           "<bVertical>0</bVertical></TitleFont>\n      </CCtsTitleObject>\n    "
           "</CCtsTextObject>\n";
}

class TitleDocumentTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("tessel-titles-" + std::to_string(::getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        SetLogTarget(&log_);
        SetTitleSearchFolders({});
    }
    void TearDown() override {
        SetLogTarget(nullptr);
        SetTitleSearchFolders({});
        fs::remove_all(folder_);
    }

    std::string Write(const std::string& name, const std::string& content) {
        const fs::path path = folder_ / name;
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << content;
        return path.string();
    }

    static void ExpectDefaults(const FCTitleInfo& title) {
        EXPECT_EQ(title.text, "Dummy");
        EXPECT_EQ(title.fontName, "Arial");
        EXPECT_EQ(title.fontSize, "26");
        EXPECT_EQ(title.bold, "");
        EXPECT_EQ(title.italic, "");
        EXPECT_EQ(title.underline, "");
        EXPECT_EQ(title.vertical, "");
    }

    fs::path folder_;
    RecordingLog log_;
};

TEST_F(TitleDocumentTest, ReadsTheCompleteTextObject) {
    const std::string path =
        Write("t.etl", TitleXml(TextObject("Hello World", "Arial Black", "48")));
    FCTitleInfo title;
    EXPECT_EQ(ReadTitleDocument(path, title), path);
    EXPECT_EQ(title.text, "Hello World");
    EXPECT_EQ(title.fontName, "Arial Black");
    EXPECT_EQ(title.fontSize, "48");
    EXPECT_EQ(title.bold, "1");
    EXPECT_EQ(title.italic, "0");
    EXPECT_EQ(title.underline, "0");
    EXPECT_EQ(title.vertical, "0");
    EXPECT_TRUE(log_.lines.empty());
}

TEST_F(TitleDocumentTest, TwoTextObjectsWarnAndTheFirstIsUsed) {
    const std::string path = Write(
        "two.etl", TitleXml(TextObject("First", "Verdana", "30") + TextObject("Second", "X", "9")));
    FCTitleInfo title;
    ReadTitleDocument(path, title);
    EXPECT_EQ(title.text, "First");
    EXPECT_EQ(title.fontName, "Verdana");
    ASSERT_EQ(log_.lines.size(), 1u);
    EXPECT_EQ(log_.lines[0].first, kLogWarning);
    EXPECT_EQ(log_.lines[0].second, "Found more than one title text in " + path + "\r\n");
}

TEST_F(TitleDocumentTest, DocumentsThatGiveNoTextKeepTheDefaultsSilently) {
    const std::pair<const char*, std::string> cases[] = {
        {"malformed.etl", "<TitleDocument><m_TitleObList><CCtsTextObject>"},
        {"no_list.etl", "<TitleDocument><m_nVersion>3</m_nVersion></TitleDocument>"},
        {"empty_list.etl", TitleXml("")},
        {"wrong_root.etl",
         "<Other><m_TitleObList>" + TextObject("x", "y", "1") + "</m_TitleObList></Other>"},
        {"empty.etl", ""},
    };
    for (const auto& [name, content] : cases) {
        FCTitleInfo title;
        ReadTitleDocument(Write(name, content), title);
        ExpectDefaults(title);
    }
    FCTitleInfo missing;
    EXPECT_EQ(ReadTitleDocument((folder_ / "missing.etl").string(), missing), "");
    ExpectDefaults(missing);
    // Paths that name no regular file: a folder, a device, a pipe (which would block a reader).
    const std::string pipe = (folder_ / "pipe.etl").string();
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    for (const std::string& path : {folder_.string(), std::string("/dev/zero"), pipe}) {
        FCTitleInfo special;
        EXPECT_EQ(ReadTitleDocument(path, special), "") << path;
        ExpectDefaults(special);
    }
    EXPECT_TRUE(log_.lines.empty());
}

std::string TitleXmlIn(const std::string& encoding, const std::string& textObjects) {
    return "<?xml version=\"1.0\" encoding=\"" + encoding +
           "\"?>\n<TitleDocument>\n  <m_TitleObList>\n" + textObjects +
           "  </m_TitleObList>\n</TitleDocument>\n";
}

TEST_F(TitleDocumentTest, TitlesInEveryListedEncodingGiveTheirText) {
    for (const EncodedText& encoded : kEncodedTexts) {
        SCOPED_TRACE(encoded.encoding);
        const std::string path =
            Write("encoded.etl",
                  TitleXmlIn(encoded.encoding, TextObject(HexBytes(encoded.bytes), "Font", "30")));
        FCTitleInfo title;
        if (!SystemHasTable(encoded)) {
            EXPECT_EQ(ReadTitleDocument(path, title), "");
            ExpectDefaults(title);
            continue;
        }
        EXPECT_EQ(ReadTitleDocument(path, title), path);
        EXPECT_EQ(title.text, encoded.text);
        EXPECT_EQ(title.fontName, "Font");
        EXPECT_EQ(title.fontSize, "30");
    }
    EXPECT_TRUE(log_.lines.empty());
}

// Each of these documents holds a complete text object, but a conforming parser refuses it.
TEST_F(TitleDocumentTest, DocumentsAConformingParserRefusesKeepTheDefaultsSilently) {
    const auto titleWith = [](const std::string& text) {
        return TitleXml(TextObject(text, "Font", "30"));
    };
    const std::pair<const char*, std::string> cases[] = {
        {"a bare ampersand", titleWith("Tom & Jerry")},
        {"an undeclared entity", titleWith("&nbsp;")},
        {"a reference to a control character", titleWith("Bell&#7;")},
        {"a reference to U+FFFF", titleWith("&#xFFFF;")},
        {"a control character", titleWith("Escape\x1B")},
        {"invalid UTF-8", titleWith("Caf\xE9")},
        {"a surrogate in UTF-8", titleWith("\xED\xA0\x80")},
        {"two root elements", titleWith("Two") + "<TitleDocument/>"},
        {"an unclosed element", titleWith("<b>Open")},
        {"a duplicate attribute", titleWith("<b x=\"1\" x=\"2\"/>")},
        {"an unknown encoding", TitleXmlIn("x-edius-42", TextObject("Unknown", "Font", "30"))},
        {"an encoding without an agreed table",
         TitleXmlIn("ISO-2022-JP", TextObject("Seven bits", "Font", "30"))},
        {"bytes Shift_JIS does not define",
         TitleXmlIn("Shift_JIS", TextObject("\x93\xFA\x96", "Font", "30"))},
        {"a byte windows-1252 does not define",
         TitleXmlIn("windows-1252", TextObject("\x81", "Font", "30"))},
        {"a UTF-8 mark on a Shift_JIS declaration",
         "\xEF\xBB\xBF" + TitleXmlIn("Shift_JIS", TextObject("Mark", "Font", "30"))},
        {"UTF-16 declared in 8-bit text", TitleXmlIn("UTF-16", TextObject("8", "Font", "30"))},
    };
    for (const auto& [what, content] : cases) {
        FCTitleInfo title;
        EXPECT_EQ(ReadTitleDocument(Write("refused.etl", content), title), "") << what;
        ExpectDefaults(title);
    }
    EXPECT_TRUE(log_.lines.empty());
}

TEST_F(TitleDocumentTest, MissingElementsGiveEmptyTextsNotDefaults) {
    const std::string path =
        Write("partial.etl", TitleXml("<CCtsTextObject><CCtsTitleObject><m_sText>No Font</m_sText>"
                                      "</CCtsTitleObject></CCtsTextObject>"));
    FCTitleInfo title;
    ReadTitleDocument(path, title);
    EXPECT_EQ(title.text, "No Font");
    EXPECT_EQ(title.fontName, "");
    EXPECT_EQ(title.fontSize, "");
    EXPECT_EQ(title.bold, "");
    EXPECT_EQ(title.vertical, "");
}

TEST_F(TitleDocumentTest, TextIsTakenWhole) {
    const std::string path = Write(
        "multi.etl",
        TitleXml(TextObject("  Line one\r\nLine two &amp; &lt;three&gt; ", "Georgia", " 36 ")));
    FCTitleInfo title;
    ReadTitleDocument(path, title);
    // Line ends are normalised as XML requires; nothing is trimmed.
    EXPECT_EQ(title.text, "  Line one\nLine two & <three> ");
    EXPECT_EQ(title.fontSize, " 36 ");
}

TEST_F(TitleDocumentTest, ReadsUtf16WithByteOrderMark) {
    const std::u16string xml =
        u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n"
        u"<TitleDocument><m_TitleObList><CCtsTextObject><CCtsTitleObject>"
        u"<m_sText>Gr\u00FC\u00DFe \u65E5\u672C</m_sText>"
        u"<m_sFontName>MS Gothic</m_sFontName></CCtsTitleObject>"
        u"</CCtsTextObject></m_TitleObList></TitleDocument>";
    for (const bool bigEndian : {false, true}) {
        std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
        for (const char16_t unit : xml) {
            const char high = static_cast<char>(unit >> 8);
            const char low = static_cast<char>(unit & 0xFF);
            bytes += bigEndian ? high : low;
            bytes += bigEndian ? low : high;
        }
        FCTitleInfo title;
        ReadTitleDocument(Write("utf16.etl", bytes), title);
        EXPECT_EQ(title.text,
                  "Gr\xC3\xBC\xC3\x9F"
                  "e \xE6\x97\xA5\xE6\x9C\xAC")
            << bigEndian;
        EXPECT_EQ(title.fontName, "MS Gothic");
    }
}

TEST_F(TitleDocumentTest, ExternalAndInternalEntitiesAreNotExpanded) {
    const std::string secret = Write("secret.txt", "TOP-SECRET");
    const std::string path = Write(
        "entity.etl",
        "<?xml version=\"1.0\"?>\n<!DOCTYPE TitleDocument [\n"
        "  <!ENTITY ext SYSTEM \"file://" +
            secret +
            "\">\n"
            "  <!ENTITY a \"aaaaaaaaaaaaaaaa\">\n  <!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;\">\n]>\n"
            "<TitleDocument><m_TitleObList><CCtsTextObject><CCtsTitleObject>"
            "<m_sText>&ext;</m_sText><m_sFontName>&b;</m_sFontName>"
            "</CCtsTitleObject></CCtsTextObject></m_TitleObList></TitleDocument>");
    FCTitleInfo title;
    ReadTitleDocument(path, title);
    EXPECT_EQ(title.text.find("TOP-SECRET"), std::string::npos) << title.text;
    EXPECT_EQ(title.fontName.find("aaaa"), std::string::npos) << title.fontName;
}

TEST_F(TitleDocumentTest, FindsDocumentsMadeOnAnotherMachine) {
    const std::string inInput = Write("input/Title.etl", TitleXml(TextObject("Input", "A", "1")));
    Write("extra/Title.etl", TitleXml(TextObject("Extra", "A", "1")));
    Write("extra/Other.ETL", TitleXml(TextObject("Upper", "A", "1")));
    SetTitleSearchFolders({(folder_ / "input").string(), (folder_ / "extra").string()});

    FCTitleInfo windows;
    EXPECT_EQ(ReadTitleDocument("C:\\Users\\Ed\\Titles\\Title.etl", windows), inInput);
    EXPECT_EQ(windows.text, "Input");

    FCTitleInfo upper;
    ReadTitleDocument("file:///C:/Users/Ed/My%20Titles/Other.ETL", upper);
    EXPECT_EQ(upper.text, "Upper");

    FCTitleInfo nowhere;
    EXPECT_EQ(ReadTitleDocument("C:\\Titles\\Nowhere.etl", nowhere), "");
    ExpectDefaults(nowhere);
}

TEST_F(TitleDocumentTest, PathAsGivenComesFirstThenUrlThenFolders) {
    const std::string given = Write("given/T.etl", TitleXml(TextObject("Given", "A", "1")));
    Write("folder/T.etl", TitleXml(TextObject("Folder", "A", "1")));
    SetTitleSearchFolders({(folder_ / "folder").string()});

    FCTitleInfo title;
    EXPECT_EQ(ReadTitleDocument(given, title), given);
    EXPECT_EQ(title.text, "Given");

    FCTitleInfo fromUrl;
    EXPECT_EQ(ReadTitleDocument("file://" + given, fromUrl), given);
    EXPECT_EQ(fromUrl.text, "Given");
}

TEST_F(TitleDocumentTest, TheFirstDocumentThatLoadsWinsAndTheWarningNamesIt) {
    Write("broken/T.etl", "<TitleDocument>");
    const std::string good =
        Write("good/T.etl", TitleXml(TextObject("One", "A", "1") + TextObject("Two", "A", "1")));
    SetTitleSearchFolders({(folder_ / "broken").string(), (folder_ / "good").string()});

    FCTitleInfo title;
    EXPECT_EQ(ReadTitleDocument("D:\\EDIUS\\T.etl", title), good);
    EXPECT_EQ(title.text, "One");
    ASSERT_EQ(log_.lines.size(), 1u);
    EXPECT_EQ(log_.lines[0].second, "Found more than one title text in " + good + "\r\n");
}

}  // namespace
