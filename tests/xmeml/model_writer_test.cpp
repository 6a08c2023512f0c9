// The element writers over timelines built directly in memory (no AAF file needed).

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "model/clip_item.h"
#include "model/interchange.h"
#include "model/sequence.h"
#include "model/title_info.h"
#include "model/track.h"
#include "strict_xml.h"
#include "xmeml/clip_item_writer.h"
#include "xmeml/document_writer.h"
#include "xmeml/xml_document.h"

namespace {

constexpr const char* kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
constexpr const char* kRate25 = "<rate><ntsc>FALSE</ntsc><timebase>25</timebase></rate>";
constexpr const char* kImportOptions =
    "<importoptions><createnewproject>FALSE</createnewproject><defsequencepresetname>"
    "useFirstClipSettings</defsequencepresetname><displaynonfatalerrors>FALSE"
    "</displaynonfatalerrors><filterreconnectmediafiles>TRUE</filterreconnectmediafiles>"
    "<filterincludeeffects>TRUE</filterincludeeffects><filterincludesequencesettings>TRUE"
    "</filterincludesequencesettings><filterincludemarkers>FALSE</filterincludemarkers>"
    "</importoptions>";
constexpr const char* kOutputs =
    "<outputs><group><index>1</index><numchannels>2</numchannels><downmix>0</downmix>"
    "<channel><index>1</index></channel><channel><index>2</index></channel></group></outputs>";

// A timeline assembled field by field, as the model passes would leave it.
class Timeline {
  public:
    Timeline() {
        xml.Create();
        auto owned = std::make_unique<FCSequence>(&interchange, nullptr);
        sequence = owned.get();
        sequence->editRate = {25, 1};
        sequence->startTimecode = {0, kAAFTcNonDrop, 25};
        interchange.sequences.push_back(std::move(owned));
    }

    FCTrackBase& AddTrack(int32_t kind, int32_t number, uint32_t physicalNumber = 0) {
        std::unique_ptr<FCTrackBase> track;
        if (kind == kMediaVideo) {
            track = std::make_unique<FCVideoTrack>(number, sequence, nullptr);
        } else {
            track = std::make_unique<FCAudioTrack>(number, sequence, nullptr);
        }
        track->physicalNumber = physicalNumber;
        sequence->tracks.push_back(std::move(track));
        return *sequence->tracks.back();
    }

    template <class Item>
    Item& AddItem(FCTrackBase& track, int64_t recordStart, int64_t length,
                  const std::string& name = "Clip") {
        auto item = std::make_unique<Item>(&track, nullptr, recordStart);
        item->length = length;
        item->mediaLength = 1000;
        item->editRate = {25, 1};
        item->mobName = name;
        item->slotName = name + ".mov";
        item->mediaPath = "D:\\Media\\" + name + ".mov";
        item->itemIndex = static_cast<int32_t>(track.clipItems.size()) + 1;
        Item& added = *item;
        track.clipItems.push_back(std::move(item));
        return added;
    }

    // The document below the root, after writing every sequence.
    std::string Write() {
        for (const auto& written : interchange.sequences) {
            WriteSequence(*written, xml, xml.GetRoot());
        }
        const std::string text = xml.ToString();
        // The whole document must be well-formed; the tests then look things up in it.
        EXPECT_EQ(tessel::test::StrictXmlErrorsInText(text), "");
        EXPECT_TRUE(parsed.load_string(text.c_str(), pugi::parse_default | pugi::parse_ws_pcdata));
        const std::string open = "<xmeml version=\"4\">";
        return text.substr(text.find(open) + open.size(),
                           text.size() - text.find(open) - open.size() - 9);
    }

    pugi::xml_node Select(const char* path) { return parsed.select_node(path).node(); }

    FCInterchange interchange;
    FCXmlDocument xml;
    pugi::xml_document parsed;
    FCSequence* sequence;
};

std::string Text(pugi::xml_node node) {
    return node.text().get();
}

TEST(DocumentWriter, WithoutSequencesHoldsOnlyTheImportOptions) {
    FCInterchange interchange;
    const std::string path =
        ::testing::TempDir() + "tessel-empty-" + std::to_string(::getpid()) + ".xml";
    ASSERT_TRUE(WriteDocument(interchange, path).ok);
    std::ifstream saved(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(saved)),
                           std::istreambuf_iterator<char>());
    EXPECT_EQ(text,
              std::string(kDeclaration) + "<xmeml version=\"4\">" + kImportOptions + "</xmeml>\n");
    std::remove(path.c_str());
}

TEST(DocumentWriter, SequenceWithoutTracksKeepsItsSkeleton) {
    Timeline timeline;
    timeline.sequence->length = 9'000'000'000;
    timeline.sequence->startTimecode = {900000, kAAFTcNonDrop, 25};
    EXPECT_EQ(timeline.Write(),
              std::string("<sequence><name/><duration>9000000000</duration>") + kRate25 +
                  "<timecode><frame>900000</frame><displayformat>NDF</displayformat>" + kRate25 +
                  "</timecode><media><video/><audio>" + kOutputs + "</audio></media></sequence>");
}

TEST(DocumentWriter, WritesACutListElementForElement) {
    Timeline timeline;
    timeline.sequence->name = "Cut & <Mix>";
    timeline.sequence->length = 300;
    FCTrackBase& video = timeline.AddTrack(kMediaVideo, 1);
    FCTrackBase& audio = timeline.AddTrack(kMediaAudio, 1, 1);

    auto& sound = timeline.AddItem<FCAudioClipItem>(audio, 0, 100, "Interview");
    sound.mediaLength = 1500;
    sound.sourceStart = 250;
    sound.editRate = {48000, 1};
    sound.waveFormat.channelCount = 2;
    sound.waveFormat.sampleRate = 48000;
    sound.waveFormat.bitsPerSample = 16;

    auto& first = timeline.AddItem<FCVideoClipItem>(video, 0, 100, "Interview");
    first.mediaLength = 1500;
    first.sourceStart = 250;
    first.hasTransition = true;
    first.transitionLength = 10;
    first.transitionCutPoint = 5;
    first.storedWidth = 720;
    first.storedHeight = 576;
    first.aspectRatio = {16, 15};
    first.fieldDominance = 1;
    first.mediaAudio = &sound;
    first.hasMediaAudio = true;
    first.links = {&sound};

    auto& second = timeline.AddItem<FCVideoClipItem>(video, 90, 50, "B-Roll");
    second.mediaLength = 500;
    second.itemIndex = 3;
    second.storedWidth = 1920;
    second.storedHeight = 1080;

    const std::string expected =
        std::string("<sequence><name>Cut &amp; &lt;Mix&gt;</name><duration>300</duration>") +
        kRate25 + "<timecode><frame>0</frame><displayformat>NDF</displayformat>" + kRate25 +
        "</timecode><media><video><track>"
        // The first video clip: its audio format comes from its media audio, its link from the
        // audio clip at the same place; the transition follows it directly.
        "<clipitem><name>Interview</name>" +
        kRate25 +
        "<duration>1500</duration><in>250</in><out>350</out><start>0</start><end>-1</end>"
        "<file><name>Interview.mov</name><pathurl>D:\\Media\\Interview.mov</pathurl><media>"
        "<video><duration>1500</duration><samplecharacteristics><width>720</width>"
        "<height>576</height></samplecharacteristics></video><audio><channelcount>2"
        "</channelcount><samplecharacteristics><samplerate>48000</samplerate><depth>16</depth>"
        "</samplecharacteristics></audio></media></file><pixelaspectratio>PAL-601"
        "</pixelaspectratio><sourcetrack><mediatype>video</mediatype></sourcetrack><link>"
        "<mediatype>audio</mediatype><trackindex>1</trackindex><clipindex>1</clipindex>"
        "<groupindex>1</groupindex></link><fielddominance>lower</fielddominance></clipitem>"
        "<transitionitem><start>90</start><end>100</end><alignment>center</alignment><effect>"
        "<effecttype>transition</effecttype><effectid>Cross Dissolve</effectid>"
        "<name>Normale \xC3\x9C"
        "berblendung</name></effect></transitionitem>"
        // The clip after the transition starts at -1.
        "<clipitem><name>B-Roll</name>" +
        kRate25 +
        "<duration>500</duration><in>0</in><out>50</out><start>-1</start><end>140</end>"
        "<file><name>B-Roll.mov</name><pathurl>D:\\Media\\B-Roll.mov</pathurl><media><video>"
        "<duration>500</duration><samplecharacteristics><width>1920</width><height>1080"
        "</height></samplecharacteristics></video></media></file><pixelaspectratio/>"
        "<sourcetrack><mediatype>video</mediatype></sourcetrack><fielddominance>none"
        "</fielddominance></clipitem></track></video><audio>" +
        kOutputs +
        "<track><clipitem><name>Interview</name><rate><ntsc/><timebase/></rate>"
        "<duration>1500</duration><in>250</in><out>350</out><start>0</start><end>100</end>"
        "<file><name>Interview.mov</name><pathurl>D:\\Media\\Interview.mov</pathurl><media>"
        "<audio><channelcount>2</channelcount><samplecharacteristics><samplerate>48000"
        "</samplerate><depth>16</depth></samplecharacteristics></audio></media></file>"
        "<filter><effect><name>Audio Pan</name><effectid>audiopan</effectid><effectcategory>"
        "audiopan</effectcategory><effecttype>audiopan</effecttype><mediatype>audio"
        "</mediatype><parameter><name>Pan</name><parameterid>pan</parameterid><value>-1"
        "</value><valuemin>-1</valuemin><valuemax>1</valuemax></parameter></effect></filter>"
        "<sourcetrack><mediatype>audio</mediatype><trackindex>1</trackindex></sourcetrack>"
        "</clipitem></track></audio></media></sequence>";
    EXPECT_EQ(timeline.Write(), expected);
}

TEST(DocumentWriter, TracksKeepTheirOrderWithinTheirContainer) {
    Timeline timeline;
    timeline.AddItem<FCAudioClipItem>(timeline.AddTrack(kMediaAudio, 1, 1), 0, 10, "A1");
    timeline.AddItem<FCVideoClipItem>(timeline.AddTrack(kMediaVideo, 1), 0, 10, "V1");
    timeline.AddItem<FCAudioClipItem>(timeline.AddTrack(kMediaAudio, 2, 2), 0, 10, "A2");
    timeline.AddTrack(kMediaVideo, 2);
    timeline.Write();
    const auto media = "/xmeml/sequence/media";
    EXPECT_EQ(Text(timeline.Select((std::string(media) + "/audio/track[1]/clipitem/name").c_str())),
              "A1");
    EXPECT_EQ(Text(timeline.Select((std::string(media) + "/audio/track[2]/clipitem/name").c_str())),
              "A2");
    EXPECT_EQ(Text(timeline.Select((std::string(media) + "/video/track[1]/clipitem/name").c_str())),
              "V1");
    // A track without items is an empty "track".
    const pugi::xml_node empty = timeline.Select("/xmeml/sequence/media/video/track[2]");
    ASSERT_TRUE(empty);
    EXPECT_FALSE(empty.first_child());
}

TEST(ClipItemWriter, ScalesTimingBySpeedAndReversesTheSourceSpan) {
    Timeline timeline;
    FCTrackBase& video = timeline.AddTrack(kMediaVideo, 1);
    auto& fast = timeline.AddItem<FCVideoClipItem>(video, 100, 50);
    fast.speedNumerator = 2;
    fast.sourceStart = 10;
    auto& reversed = timeline.AddItem<FCVideoClipItem>(video, 150, 100);
    reversed.reverse = true;
    reversed.sourceStart = 200;
    auto& frozen = timeline.AddItem<FCVideoClipItem>(video, 250, 20);
    frozen.speedNumerator = 0;
    frozen.reverse = true;
    frozen.sourceStart = 200;
    timeline.Write();

    const char* clip = "/xmeml/sequence/media/video/track/clipitem";
    auto field = [&](int index, const char* name) {
        return Text(timeline.Select(
            (std::string(clip) + "[" + std::to_string(index) + "]/" + name).c_str()));
    };
    EXPECT_EQ(field(1, "duration"), "2000");
    EXPECT_EQ(field(1, "in"), "10");
    EXPECT_EQ(field(1, "out"), "110");  // out - in = 2 x 50
    EXPECT_EQ(field(1, "end"), "200");
    EXPECT_EQ(field(1, "filter/effect/parameter[1]/value"), "50.00000");
    EXPECT_EQ(field(1, "filter/effect/parameter[2]/value"), "FALSE");
    EXPECT_EQ(field(1, "filter/effect/mediatype"), "video");

    EXPECT_EQ(field(2, "in"), "700");
    EXPECT_EQ(field(2, "out"), "800");
    EXPECT_EQ(field(2, "filter/effect/parameter[1]/value"), "100.00000");
    EXPECT_EQ(field(2, "filter/effect/parameter[2]/value"), "TRUE");

    EXPECT_EQ(field(3, "duration"), "0");
    EXPECT_EQ(field(3, "in"), "-200");
    EXPECT_EQ(field(3, "out"), "-200");
    EXPECT_EQ(field(3, "end"), "250");
    EXPECT_EQ(field(3, "filter/effect/parameter[1]/value"), "0.00000");
}

TEST(FilterWriter, AudioGetsTimeRemapThenPanBySide) {
    Timeline timeline;
    const uint32_t physicalNumbers[] = {1, 2, 0};
    for (const uint32_t physical : physicalNumbers) {
        FCTrackBase& track = timeline.AddTrack(kMediaAudio, 1, physical);
        auto& item = timeline.AddItem<FCAudioClipItem>(track, 0, 10);
        item.speedNumerator = 1;
        item.speedDenominator = physical == 2 ? 2 : 1;
    }
    timeline.Write();
    const auto filters = [&](int track) {
        std::vector<std::string> names;
        const std::string path =
            "/xmeml/sequence/media/audio/track[" + std::to_string(track) + "]/clipitem/filter";
        for (const auto& filter : timeline.parsed.select_nodes(path.c_str())) {
            names.push_back(Text(filter.node().child("effect").child("name")) + " " +
                            Text(filter.node().select_node(".//value").node()));
        }
        return names;
    };
    EXPECT_EQ(filters(1), (std::vector<std::string>{"Audio Pan -1"}));
    EXPECT_EQ(filters(2), (std::vector<std::string>{"Time Remap 200.00000", "Audio Pan 1"}));
    EXPECT_EQ(filters(3), (std::vector<std::string>{"Audio Pan 1"}));
    EXPECT_EQ(Text(timeline.Select(
                  "/xmeml/sequence/media/audio/track[2]/clipitem/filter[1]/effect/mediatype")),
              "audio");
    EXPECT_EQ(Text(timeline.Select(
                  "/xmeml/sequence/media/audio/track[3]/clipitem/sourcetrack/trackindex")),
              "0");
}

TEST(ClipItemWriter, GeneratorsPointAtTheReceivingEditorsMedia) {
    Timeline timeline;
    FCTrackBase& video = timeline.AddTrack(kMediaVideo, 1);
    FCTrackBase& audio = timeline.AddTrack(kMediaAudio, 1, 1);
    timeline.AddItem<FCVideoClipItem>(video, 0, 10, "Matte").generatorKind = kGeneratorColorMatte;
    timeline.AddItem<FCVideoClipItem>(video, 10, 10, "Bars").generatorKind = kGeneratorBarsAndTone;
    timeline.AddItem<FCVideoClipItem>(video, 20, 10, "Still").generatorKind = kGeneratorStill;
    timeline.AddItem<FCAudioClipItem>(audio, 0, 10, "Tone").generatorKind = kGeneratorBarsAndTone;
    timeline.AddItem<FCAudioClipItem>(audio, 10, 10, "Title").generatorKind = kGeneratorTitle;
    timeline.Write();

    const pugi::xml_node matte = timeline.Select("//video/track/clipitem[1]");
    EXPECT_EQ(Text(matte.select_node("file/mediaSource").node()), "Slug");
    EXPECT_FALSE(matte.select_node("file/pathurl"));
    EXPECT_EQ(Text(timeline.Select("//video/track/clipitem[2]/file/mediaSource")), "BarsAndTone");
    EXPECT_EQ(Text(timeline.Select("//audio/track/clipitem[1]/file/mediaSource")), "BarsAndTone");

    const pugi::xml_node still = timeline.Select("//video/track/clipitem[3]");
    EXPECT_EQ(Text(still.child("stillframe")), "TRUE");
    EXPECT_STREQ(still.child("stillframe").previous_sibling().name(), "end");
    EXPECT_EQ(Text(still.select_node("file/media/video/stillframe").node()), "TRUE");
    EXPECT_STREQ(still.last_child().name(), "fielddominance");

    // Only video titles become generator items; an audio "title" is an ordinary clip item.
    const pugi::xml_node audioTitle = timeline.Select("//audio/track/clipitem[2]");
    EXPECT_EQ(Text(audioTitle.select_node("file/pathurl").node()), "D:\\Media\\Title.mov");
}

TEST(GeneratorWriter, TitlesBecomeTextGenerators) {
    Timeline timeline;
    FCTrackBase& video = timeline.AddTrack(kMediaVideo, 1);
    auto& title = timeline.AddItem<FCVideoClipItem>(video, 0, 50, "Opening");
    title.generatorKind = kGeneratorTitle;
    title.mediaLength = 1500;
    title.speedNumerator = 2;
    title.hasTransition = true;
    title.transitionLength = 10;
    title.title = std::make_unique<FCTitleInfo>();
    title.title->text = "Line one\nA & <B>";
    title.title->fontName = "";
    title.title->fontSize = "48";
    auto& untitled = timeline.AddItem<FCVideoClipItem>(video, 40, 10, "Untitled");
    untitled.generatorKind = kGeneratorTitle;
    untitled.itemIndex = 3;

    const std::string written = timeline.Write();
    const std::string expected =
        std::string("<track><generatoritem><name>Opening</name>") + kRate25 +
        "<duration>3000</duration><in>0</in><out>100</out><start>0</start><end>-1</end>"
        "<effect><name>Text</name><effectid>Text</effectid><effectcategory>Text</effectcategory>"
        "<mediatype>video</mediatype><parameter><name>Text</name><parameterid>str</parameterid>"
        "<value>Line one\nA &amp; &lt;B&gt;</value></parameter><parameter><name>Fontname</name>"
        "<parameterid>fontname</parameterid><value/></parameter><parameter><name>Fontsize"
        "</name><parameterid>fontsize</parameterid><value>48</value></parameter></effect>"
        "<sourcetrack><mediatype>video</mediatype></sourcetrack></generatoritem>"
        // No transition item and no filter for a title; the next item still starts at -1.
        "<generatoritem><name>Untitled</name>" +
        kRate25 +
        "<duration>1000</duration><in>0</in><out>10</out><start>-1</start><end>50</end>"
        "<effect/><sourcetrack><mediatype>video</mediatype></sourcetrack></generatoritem>"
        "</track>";
    EXPECT_NE(written.find(expected), std::string::npos) << written;
}

TEST(ClipItemWriter, LinksNameTrackAndClipOfEachLinkedItem) {
    Timeline timeline;
    FCTrackBase& video = timeline.AddTrack(kMediaVideo, 1);
    FCTrackBase& a1 = timeline.AddTrack(kMediaAudio, 1, 1);
    FCTrackBase& a2 = timeline.AddTrack(kMediaAudio, 2, 2);
    timeline.AddItem<FCAudioClipItem>(a1, 0, 5, "Pad");
    auto& left = timeline.AddItem<FCAudioClipItem>(a1, 5, 10);
    auto& right = timeline.AddItem<FCAudioClipItem>(a2, 5, 10);
    right.itemIndex = 4;
    auto& picture = timeline.AddItem<FCVideoClipItem>(video, 5, 10);
    picture.links = {&left, &right};
    timeline.Write();

    const auto links = timeline.parsed.select_nodes("//video//link");
    ASSERT_EQ(links.size(), 2u);
    const auto describe = [](pugi::xml_node link) {
        std::string text;
        for (pugi::xml_node child : link.children()) {
            text += std::string(child.name()) + "=" + child.text().get() + " ";
        }
        return text;
    };
    EXPECT_EQ(describe(links[0].node()), "mediatype=audio trackindex=1 clipindex=2 groupindex=1 ");
    EXPECT_EQ(describe(links[1].node()), "mediatype=audio trackindex=2 clipindex=4 groupindex=1 ");
}

TEST(ClipItemWriter, PredecessorIsFoundWhenItemsAreWrittenOutOfOrder) {
    Timeline timeline;
    FCTrackBase& video = timeline.AddTrack(kMediaVideo, 1);
    auto& first = timeline.AddItem<FCVideoClipItem>(video, 0, 10);
    first.hasTransition = true;
    auto& second = timeline.AddItem<FCVideoClipItem>(video, 10, 10);
    auto& third = timeline.AddItem<FCVideoClipItem>(video, 20, 10);
    FCXmlDocument& xml = timeline.xml;
    const XmlElement track = xml.AddElement(xml.GetRoot(), "track");
    WriteClipItem(third, xml, track);
    WriteClipItem(second, xml, track);
    WriteClipItem(first, xml, track);
    WriteClipItem(third, xml, track);
    pugi::xml_document written;
    ASSERT_TRUE(written.load_string(xml.ToString().c_str()));
    const auto starts = written.select_nodes("//track/clipitem/start");
    ASSERT_EQ(starts.size(), 4u);
    EXPECT_STREQ(starts[0].node().text().get(), "20");
    EXPECT_STREQ(starts[1].node().text().get(), "-1");
    EXPECT_STREQ(starts[2].node().text().get(), "0");
    EXPECT_STREQ(starts[3].node().text().get(), "20");
}

}  // namespace
