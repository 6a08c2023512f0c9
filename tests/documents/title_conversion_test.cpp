// Titles end to end: finding the title document of an edit made on another machine, and the
// generator items written for titles.

#include "conversion_fixture.h"
#include "encoded_texts.h"

namespace {

using namespace tessel::aafwriter;

constexpr const char* kGenerators = "/xmeml/sequence/media/video/track/generatoritem";

class TitleConversionTest : public ConversionFixture {
  protected:
    std::string Value(int item, const char* parameterId) const {
        return Text(std::string(kGenerators) + "[" + std::to_string(item) +
                    "]/effect/parameter[parameterid='" + parameterId + "']/value");
    }
};

TEST_F(TitleConversionTest, FindsTitleDocumentsBesideTheInputAndInTitleFolders) {
    Write("project/Beside.etl", TitleDocument("Beside the edit", "Arial Black", "48"));
    Write("titles/Upper Case.ETL", TitleDocument("From a URL", "Georgia", "36"));
    Write("more/Two.etl", TitleDocument("First of two", "Tahoma", "20", 2));
    Write("more/Beside.etl", TitleDocument("Not this one", "X", "1"));

    AafBuilder builder;
    const MediaRef beside = AddTitleMedia(builder, "Beside", "C:\\Users\\Ed\\Titles\\Beside.etl");
    const MediaRef url =
        AddTitleMedia(builder, "Url", "file:///C:/Users/Ed/My%20Titles/Upper%20Case.ETL");
    const MediaRef twoTexts = AddTitleMedia(builder, "Two", "D:/EDIUS/Two.etl");
    const MediaRef nowhere = AddTitleMedia(builder, "Nowhere", "Z:\\Lost\\Nowhere.etl");
    Composition edit = builder.AddComposition("Titles");
    edit.AddTimecodeSlot(0, 25, false, 200);
    Track v1 = edit.AddPictureTrack({.physicalNumber = 1});
    v1.AddClip(beside, 50);
    v1.AddClip(url, 50);
    v1.AddClip(twoTexts, 50);
    v1.AddClip(nowhere, 50);
    // Documents used again: each clip gets the record, and the warning, as the first did.
    v1.AddClip(twoTexts, 50);
    v1.AddClip(beside, 50);

    ASSERT_EQ(Convert(builder, "project/edit.aaf",
                      {(folder_ / "titles").string(), (folder_ / "more").string()}),
              ConversionStatus::kSucceeded);
    EXPECT_EQ(Value(1, "str"), "Beside the edit");
    EXPECT_EQ(Value(1, "fontname"), "Arial Black");
    EXPECT_EQ(Value(1, "fontsize"), "48");
    EXPECT_EQ(Value(2, "str"), "From a URL");
    EXPECT_EQ(Value(3, "str"), "First of two");
    EXPECT_EQ(Value(4, "str"), "Dummy");
    EXPECT_EQ(Value(4, "fontname"), "Arial");
    EXPECT_EQ(Value(4, "fontsize"), "26");
    EXPECT_EQ(Value(5, "str"), "First of two");
    EXPECT_EQ(Value(5, "fontname"), "Tahoma");
    EXPECT_EQ(Value(6, "str"), "Beside the edit");
    EXPECT_EQ(Value(6, "fontsize"), "48");
    // The warning names the document that was read, once per clip, joined with the system's
    // separator.
    const std::string two = (folder_ / "more" / "Two.etl").string();
    const std::string warning = "Found more than one title text in " + two + "\r\n";
    EXPECT_EQ(LinesOfKind(kLogWarning), (std::vector<std::string>{warning, warning}));
    EXPECT_EQ(ValidateAgainstDtd(), 0);
}

// An edit whose titles were written in every encoding a title document may declare, and
// titles that a conforming parser refuses: the first give their text, the others the defaults,
// and the document is well-formed either way.
TEST_F(TitleConversionTest, TitlesInEveryEncodingAndIllFormedTitles) {
    const auto document = [](const std::string& encoding, const std::string& text) {
        return "<?xml version=\"1.0\" encoding=\"" + encoding +
               "\"?>\n<TitleDocument><m_TitleObList><CCtsTextObject><CCtsTitleObject><m_sText>" +
               text +
               "</m_sText><m_sFontName>Font</m_sFontName></CCtsTitleObject>"
               "</CCtsTextObject></m_TitleObList></TitleDocument>\n";
    };
    AafBuilder builder;
    Composition edit = builder.AddComposition("Titles");
    Track v1 = edit.AddPictureTrack();
    std::vector<std::string> expected;
    int number = 0;
    const auto addTitle = [&](const std::string& content, const std::string& text) {
        const std::string name = "T" + std::to_string(++number);
        Write("project/" + name + ".etl", content);
        v1.AddClip(AddTitleMedia(builder, name, name + ".etl"), 10);
        expected.push_back(text);
    };
    for (const EncodedText& encoded : kEncodedTexts) {
        addTitle(document(encoded.encoding, HexBytes(encoded.bytes)),
                 SystemHasTable(encoded) ? encoded.text : "Dummy");
    }
    for (const std::string& refused :
         {document("UTF-8", "Tom & Jerry"), document("UTF-8", "&#1;"), document("UTF-8", "Caf\xE9"),
          document("UTF-8", "&nbsp;"), document("UTF-8", "Two") + "<TitleDocument/>",
          document("x-unknown", "Unknown"), document("Shift_JIS", "\x93\xFA\x96")}) {
        addTitle(refused, "Dummy");
    }

    ASSERT_EQ(Convert(builder, "project/edit.aaf"), ConversionStatus::kSucceeded);
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(Value(static_cast<int>(i + 1), "str"), expected[i]) << i + 1;
    }
    EXPECT_TRUE(LinesOfKind(kLogWarning).empty());
    EXPECT_EQ(ValidateAgainstDtd(), 0);
}

TEST_F(TitleConversionTest, TheTitlesPathAsGivenComesFirst) {
    const std::string given = Write("given/T.etl", TitleDocument("As given", "A", "1"));
    Write("project/T.etl", TitleDocument("Beside the edit", "A", "1"));
    AafBuilder builder;
    const MediaRef title = AddTitleMedia(builder, "T", given);
    Composition edit = builder.AddComposition("Titles");
    Track v1 = edit.AddPictureTrack();
    v1.AddClip(title, 50);
    ASSERT_EQ(Convert(builder, "project/edit.aaf"), ConversionStatus::kSucceeded);
    EXPECT_EQ(Value(1, "str"), "As given");
}

TEST_F(TitleConversionTest, ExternalEntitiesInATitleAreNeitherFetchedNorExpanded) {
    const std::string secret = Write("secret.txt", "TOP-SECRET");
    Write("project/Entity.etl",
          "<?xml version=\"1.0\"?>\n<!DOCTYPE TitleDocument [\n<!ENTITY ext SYSTEM \"file://" +
              secret +
              "\">\n]>\n<TitleDocument><m_TitleObList><CCtsTextObject><CCtsTitleObject>"
              "<m_sText>&ext;</m_sText><m_sFontName>Arial</m_sFontName></CCtsTitleObject>"
              "</CCtsTextObject></m_TitleObList></TitleDocument>");
    AafBuilder builder;
    const MediaRef title = AddTitleMedia(builder, "Entity", "Entity.etl");
    Composition edit = builder.AddComposition("Titles");
    Track v1 = edit.AddPictureTrack();
    v1.AddClip(title, 50);
    ASSERT_EQ(Convert(builder, "project/edit.aaf"), ConversionStatus::kSucceeded);
    EXPECT_EQ(Value(1, "str").find("TOP-SECRET"), std::string::npos);
    EXPECT_EQ(Value(1, "fontname"), "Arial");
    EXPECT_EQ(ValidateAgainstDtd(), 0);
}

TEST_F(TitleConversionTest, TitlesGetNeitherFiltersNorTransitionItems) {
    Write("project/Slow.etl", TitleDocument("Slow", "A", "1"));
    Write("project/Fade.etl", TitleDocument("Fade", "A", "1"));
    AafBuilder builder;
    const MediaRef slow = AddTitleMedia(builder, "Slow", "Slow.etl");
    const MediaRef fade = AddTitleMedia(builder, "Fade", "Fade.etl");
    MediaSpec clipSpec;
    clipSpec.name = "Clip";
    clipSpec.path = "D:\\Media\\clip.mov";
    const MediaRef clip = builder.AddMedia(clipSpec);
    Composition edit = builder.AddComposition("Titles");
    edit.AddTimecodeSlot(0, 25, false, 200);
    Track v1 = edit.AddPictureTrack();
    v1.AddSpeedClip(slow, 50, 10, {1, 2});
    v1.AddClip(fade, 50);
    v1.AddTransition(10, 0);
    v1.AddClip(clip, 50);

    ASSERT_EQ(Convert(builder, "project/edit.aaf"), ConversionStatus::kSucceeded);
    const std::string track = "/xmeml/sequence/media/video/track";
    EXPECT_EQ(Count(track + "/*"), 3u);  // two generator items and the clip, no transition
    EXPECT_EQ(Count(track + "//filter"), 0u);
    EXPECT_EQ(Text(std::string(kGenerators) + "[1]/duration"), "750");  // 1500 at half speed
    EXPECT_EQ(Text(std::string(kGenerators) + "[1]/in"), "10");
    EXPECT_EQ(Text(std::string(kGenerators) + "[1]/out"), "35");
    EXPECT_EQ(Text(std::string(kGenerators) + "[2]/end"), "-1");
    EXPECT_EQ(Text(track + "/clipitem/start"), "-1");
    EXPECT_EQ(ValidateAgainstDtd(), 0);
}

}  // namespace
