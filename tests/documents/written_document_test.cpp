// Cut lists end to end: what the reader gives the model, the writers put in the document.

#include <iterator>

#include "conversion_fixture.h"

namespace {

using namespace tessel::aafwriter;

class WrittenDocumentTest : public ConversionFixture {};

TEST_F(WrittenDocumentTest, NamesAndPathsAreEscapedAndReadBackUnchanged) {
    const std::string name =
        "Tom & Jerry <Cut> \"1\" 'a' Gr\xC3\xBC\xC3\x9F"
        "e";
    const std::string path = "D:\\Media & More\\<raw> \xC3\xA4.mov";
    AafBuilder builder;
    MediaSpec spec;
    spec.name = name;
    spec.path = path;
    spec.slotName = "Slot & <1>";
    spec.soundSlots = 1;
    const MediaRef media = builder.AddMedia(spec);
    Composition edit = builder.AddComposition("Edit & <Mix>");
    edit.AddTimecodeSlot(0, 25, false, 100);
    edit.AddPictureTrack({.physicalNumber = 1}).AddClip(media, 100);
    edit.AddSoundTrack({.physicalNumber = 1}).AddClip(media, 100);

    ASSERT_EQ(Convert(builder, "project/edit.aaf"), ConversionStatus::kSucceeded);
    EXPECT_EQ(Text("/xmeml/sequence/name"), "Edit & <Mix>");
    EXPECT_EQ(Text("//video/track/clipitem/name"), name);
    EXPECT_EQ(Text("//video/track/clipitem/file/name"), "Slot & <1>");
    EXPECT_EQ(Text("//video/track/clipitem/file/pathurl"), path);
    EXPECT_EQ(Text("//audio/track/clipitem/file/pathurl"), path);

    std::ifstream in(output_, std::ios::binary);
    const std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(raw.find("Edit &amp; &lt;Mix&gt;"), std::string::npos);
    EXPECT_EQ(ValidateAgainstDtd(), 0);
}

// Characters XML 1.0 cannot carry are left out of names and paths; the rest of each is kept,
// and the document stays one that every parser reads.
TEST_F(WrittenDocumentTest, CharactersXmlCannotCarryAreLeftOut) {
    // The builder writes these UTF-8 forms as the UTF-16 units they spell: controls, U+FFFE,
    // U+FFFF and a surrogate without its partner (which the reader takes as U+FFFD).
    const std::string name = "Take\x01 1\x1B\xEF\xBF\xBE|\xEF\xBF\xBF|\tend";
    const std::string path =
        "D:\\Media\\\x02"
        "clip\x7F\xED\xA0\x80.mov";
    AafBuilder builder;
    MediaSpec spec;
    spec.name = name;
    spec.path = path;
    spec.slotName = "Slot\x0C\x0B\x08";
    spec.soundSlots = 1;
    const MediaRef media = builder.AddMedia(spec);
    Composition edit = builder.AddComposition("Edit\x1F\x03 \xEF\xBF\xBEone");
    edit.AddTimecodeSlot(0, 25, false, 100);
    edit.AddPictureTrack({.physicalNumber = 1}).AddClip(media, 100);
    edit.AddSoundTrack({.physicalNumber = 1}).AddClip(media, 100);

    ASSERT_EQ(Convert(builder, "project/edit.aaf"), ConversionStatus::kSucceeded);
    EXPECT_EQ(Text("/xmeml/sequence/name"), "Edit one");
    EXPECT_EQ(Text("//video/track/clipitem/name"), "Take 1||\tend");
    EXPECT_EQ(Text("//video/track/clipitem/file/name"), "Slot");
    EXPECT_EQ(Text("//video/track/clipitem/file/pathurl"), "D:\\Media\\clip\x7F\xEF\xBF\xBD.mov");
    EXPECT_EQ(Text("//audio/track/clipitem/file/pathurl"), "D:\\Media\\clip\x7F\xEF\xBF\xBD.mov");
    EXPECT_EQ(ValidateAgainstDtd(), 0);
}

TEST_F(WrittenDocumentTest, ASaveThatFailsIsReportedWithThePathAndNoFinish) {
    AafBuilder builder;
    builder.AddComposition("Edit");
    ASSERT_TRUE(builder.Write((folder_ / "edit.aaf").string()).ok());
    // A file where the output's folder should be makes the save fail.
    Write("blocked", "a file, not a folder");

    ConversionRequest request;
    request.inputPath = (folder_ / "edit.aaf").string();
    request.outputPath = (folder_ / "blocked" / "out.xml").string();
    SetLogTarget(this);
    ConversionThread(request, nullptr);
    SetLogTarget(nullptr);
    const std::vector<std::string> errors = LinesOfKind(kLogError);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find(request.outputPath), std::string::npos) << errors[0];
    EXPECT_NE(errors[0].find("Not a directory"), std::string::npos) << errors[0];
    EXPECT_TRUE(LinesOfKind(kLogMilestone).empty());  // no "Finished!"
}

}  // namespace
