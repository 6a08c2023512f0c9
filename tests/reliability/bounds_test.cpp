// What a file can make the reader and the conversion do: reference cycles end, deep nesting is
// walked without recursion trouble, and memory follows the file's size, not the number of times
// its objects are referenced.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <pugixml.hpp>

#include "aaf_report.h"
#include "aafwriter/builder.h"
#include "compound_file_bytes.h"
#include "job/conversion_job.h"
#include "program_run.h"
#include "scratch_folder.h"
#include "strict_xml.h"

namespace tessel::reliability {
namespace {

namespace fs = std::filesystem;
using namespace tessel::aafwriter;
using ::testing::HasSubstr;

struct Outcome {
    ConversionStatus status = ConversionStatus::kAborted;
    std::vector<int> itemsPerSequence;  // clipitem and generatoritem elements of each sequence
};

// Converts `bytes` through the job as the front ends do.
Outcome Convert(const ScratchFolder& folder, const std::vector<std::uint8_t>& bytes) {
    struct Recorder : ConversionClient {
        void PostConversionDone(ConversionStatus result) override { status = result; }
        ConversionStatus status = ConversionStatus::kAborted;
    } done;
    WriteBytes(folder / "edit.aaf", bytes);
    fs::remove(folder / "edit.xml");
    ConversionRequest request;
    request.inputPath = (folder / "edit.aaf").string();
    request.outputPath = (folder / "edit.xml").string();
    ConversionThread(request, &done);
    Outcome outcome;
    outcome.status = done.status;
    pugi::xml_document document;
    if (fs::exists(folder / "edit.xml")) {
        EXPECT_EQ(tessel::test::StrictXmlErrors((folder / "edit.xml").string()), "");
    }
    if (document.load_file((folder / "edit.xml").c_str())) {
        for (pugi::xml_node sequence : document.child("xmeml").children("sequence")) {
            int items = 0;
            for (const char* kind : {"video", "audio"}) {
                for (pugi::xml_node track : sequence.child("media").child(kind).children("track")) {
                    for (pugi::xml_node item : track.children()) {
                        items += std::string(item.name()) == "clipitem" ||
                                 std::string(item.name()) == "generatoritem";
                    }
                }
            }
            outcome.itemsPerSequence.push_back(items);
        }
    }
    return outcome;
}

// The inspection tool's walk of the same file; every mob it lists is listed once.
aafinfo::Report Inspect(const ScratchFolder& folder, const std::vector<std::uint8_t>& bytes) {
    WriteBytes(folder / "inspect.aaf", bytes);
    aafinfo::Report report = aafinfo::BuildReport((folder / "inspect.aaf").string());
    std::set<std::string> ids;
    for (const auto& list : {report.json["compositions"], report.json["referenced_mobs"]}) {
        for (const auto& mob : list) {
            EXPECT_TRUE(ids.insert(mob["mob_id"].get<std::string>()).second) << mob["mob_id"];
        }
    }
    return report;
}

// Converts what `builder` holds, expecting success with `items` clip items per sequence, and
// returns tessel-aafinfo's report of the same bytes.
aafinfo::Report ConvertAndInspect(AafBuilder& builder, const std::vector<int>& items) {
    const std::vector<std::uint8_t> bytes = builder.ToBytes();
    ScratchFolder folder;
    const Outcome outcome = Convert(folder, bytes);
    EXPECT_EQ(outcome.status, ConversionStatus::kSucceeded);
    EXPECT_EQ(outcome.itemsPerSequence, items);
    return Inspect(folder, bytes);
}

Object* MobWithId(AafBuilder& builder, const aafMobID_t& id) {
    const std::vector<std::uint8_t> key = builder.header().Bytes().MobId(id).Take();
    for (const auto& mob : builder.contentStorage().Find(pids::kMobs)->objects) {
        if (mob->Find(pids::kMobID)->value == key) {
            return mob.get();
        }
    }
    return nullptr;
}

void PointSourceClipAt(Object& clip, const aafMobID_t& mob, std::uint32_t slot) {
    clip.SetMobId(pids::kSourceID, mob);
    clip.SetUInt32(pids::kSourceMobSlotID, slot);
}

TEST(Bounds, ACompositionThatUsesItselfEnds) {
    AafBuilder builder;
    Composition edit = builder.AddComposition("Loop");
    Track track = edit.AddPictureTrack({.slotId = 1});
    track.AddSourceClip(edit.id(), 1, 100);
    track.AddSourceClip(edit.id(), 1, 50);
    EXPECT_EQ(ConvertAndInspect(builder, {2}).json["compositions"].size(), 1u);
}

TEST(Bounds, CompositionsThatUseEachOtherEnd) {
    AafBuilder builder;
    Composition first = builder.AddComposition("First");
    Composition second = builder.AddComposition("Second");
    first.AddSoundTrack({.slotId = 1}).AddSourceClip(second.id(), 1, 10);
    second.AddSoundTrack({.slotId = 1}).AddSourceClip(first.id(), 1, 10);
    EXPECT_EQ(ConvertAndInspect(builder, {1, 1}).json["compositions"].size(), 2u);
}

TEST(Bounds, MediaChainsThatLeadBackEnd) {
    AafBuilder builder;
    // A master mob whose clip refers to itself, and one whose source mob leads back to it.
    const MediaRef selfish = builder.AddMedia({.name = "Selfish", .path = "D:\\a.avi"});
    PointSourceClipAt(
        *MobWithId(builder, selfish.masterId)->Child(pids::kSlots)->Child(pids::kSegment),
        selfish.masterId, selfish.pictureSlot);
    const MediaRef circular = builder.AddMedia({.name = "Circular", .path = "D:\\b.avi"});
    Object* source = MobWithId(builder, circular.sourceIds.front());
    ASSERT_NE(source, nullptr);
    PointSourceClipAt(*source->Child(pids::kSlots)->Child(pids::kSegment), circular.masterId,
                      circular.pictureSlot);
    Composition edit = builder.AddComposition("Edit");
    Track track = edit.AddPictureTrack();
    track.AddClip(selfish, 25);
    track.AddClip(circular, 25);
    // Two masters, one source mob.
    EXPECT_EQ(ConvertAndInspect(builder, {2}).json["referenced_mobs"].size(), 3u);
}

TEST(Bounds, DeepNestingIsWalkedWithoutRecursionTrouble) {
    AafBuilder builder;
    const MediaRef media = builder.AddMedia({.name = "Deep", .path = "D:\\deep.avi"});
    Composition edit = builder.AddComposition("Deep");
    Track track = edit.AddPictureTrack();
    // Sequences inside sequences, and operation groups inside operation groups, 400 deep (the
    // fixture writer itself recurses, and deeper would overflow its stack in the sanitizer build).
    constexpr int kDepth = 400;
    std::unique_ptr<Object> nested =
        builder.MakeSourceClip(DataKind::kPicture, 10, media.masterId, media.pictureSlot, 0);
    for (int level = 0; level < kDepth; ++level) {
        std::unique_ptr<Object> sequence = builder.MakeSequence(DataKind::kPicture);
        AafBuilder::AppendComponent(*sequence, std::move(nested));
        nested = std::move(sequence);
    }
    track.Append(std::move(nested));
    nested = builder.MakeSourceClip(DataKind::kPicture, 10, media.masterId, media.pictureSlot, 0);
    for (int level = 0; level < kDepth; ++level) {
        std::unique_ptr<Object> group =
            builder.MakeOperationGroup(DataKind::kPicture, 10, operations::kVideoDissolve);
        AafBuilder::AddInput(*group, std::move(nested));
        nested = std::move(group);
    }
    track.Append(std::move(nested));
    track.AddClip(media, 10);
    const std::vector<std::uint8_t> bytes = builder.ToBytes();
    ScratchFolder folder;
    const Outcome outcome = Convert(folder, bytes);
    EXPECT_EQ(outcome.status, ConversionStatus::kSucceeded);
    ASSERT_EQ(outcome.itemsPerSequence.size(), 1u);
    const aafinfo::Report report = Inspect(folder, bytes);
    const auto& components = report.json["compositions"][0]["slots"][0]["components"];
    ASSERT_EQ(components.size(), 3u);
    EXPECT_THAT(report.json.dump(), HasSubstr("\"truncated\":true"));
}

TEST(Bounds, AStreamThatClaimsMoreThanTheFileHoldsIsACorruptFile) {
    CompoundFileBytes file(SmallEdit());
    const CompoundFileBytes::Entry stream = file.LargestStream();
    file.SetStreamSize(stream.id, file.bytes().size() * 2);
    ScratchFolder folder;
    WriteBytes(folder / "edit.aaf", file.bytes());
    const ProgramRun run = RunProgram(TESSEL_CONVERT, {"edit.aaf", "edit.xml"},
                                      {.workingFolder = folder.path().string()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_THAT(run.output, HasSubstr("Cannot open edit.aaf: "));
    EXPECT_THAT(run.output, HasSubstr("larger"));
    EXPECT_FALSE(fs::exists(folder / "edit.xml"));
}

// Every clip of an edit refers to the same master clip. However large that clip's stored form
// (here about 3 MB of properties, its pieces out of order in the file), it is held once.
TEST(Bounds, MemoryFollowsTheFileNotTheNumberOfReferences) {
    AafBuilder builder;
    const MediaRef media = builder.AddMedia({.name = "Shared", .path = "D:\\shared.avi"});
    Object& masterClip =
        *MobWithId(builder, media.masterId)->Child(pids::kSlots)->Child(pids::kSegment);
    for (std::uint16_t i = 0; i < 48; ++i) {
        masterClip.SetData(static_cast<std::uint16_t>(0xFF00 + i),
                           std::vector<std::uint8_t>(65000, static_cast<std::uint8_t>(i)));
    }
    Composition edit = builder.AddComposition("Many");
    Track track = edit.AddPictureTrack();
    constexpr int kClips = 1500;
    for (int i = 0; i < kClips; ++i) {
        track.AddClip(media, 5);
    }
    CompoundFileBytes file(builder.ToBytes());
    const CompoundFileBytes::Entry shared = file.LargestStream();
    ASSERT_GT(shared.size, 3'000'000u);
    file.ScatterStream(shared.id);
    ScratchFolder folder;
    WriteBytes(folder / "edit.aaf", file.bytes());

    const ProgramRun run = RunProgram(TESSEL_CONVERT, {"-q", "edit.aaf", "edit.xml"},
                                      {.workingFolder = folder.path().string()});
    EXPECT_EQ(run.exitCode, 0) << run.output;
    // Held once per clip, the stream alone would take 1500 x 3 MB.
    EXPECT_LT(run.maxResidentKb, 1024 * 1024) << "kB";
    const Outcome outcome = Convert(folder, file.bytes());
    EXPECT_EQ(outcome.itemsPerSequence, std::vector<int>({kClips}));
}

// Lengths, positions, rates and speeds at the ends of their ranges: every sum, product and
// quotient the conversion makes of them is defined (the sanitizer build checks), and the document
// is still written.
TEST(Bounds, ExtremeNumbersAreConvertedWithoutOverflow) {
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    constexpr std::int32_t kMin32 = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t kMax32 = std::numeric_limits<std::int32_t>::max();
    AafBuilder builder;
    MediaSpec spec;
    spec.name = "Odd";
    spec.path = "D:\\odd.avi";
    spec.editRate = {kMin32, -1};
    spec.length = kMin;
    spec.soundSlots = 1;
    const MediaRef odd = builder.AddMedia(spec);
    spec.name = "Still";
    spec.path = "D:\\still.png";
    spec.editRate = {0, 0};
    spec.length = 1;
    spec.soundSlots = 0;
    const MediaRef still = builder.AddMedia(spec);
    spec.name = "Matte";
    spec.path.clear();
    spec.editRate = {-25, 1};
    spec.length = kMax;
    spec.slotName = "Color Matte";
    const MediaRef matte = builder.AddMedia(spec);
    for (const aafRational_t rate : {aafRational_t{0, 0}, aafRational_t{kMin32, -1},
                                     aafRational_t{kMax32, 1}, aafRational_t{1, kMin32}}) {
        Composition edit = builder.AddComposition("Extremes");
        edit.AddTimecodeSlot(kMin, 0, true, kMax, {.editRate = rate});
        Track video = edit.AddPictureTrack({.editRate = rate});
        Track audio = edit.AddSoundTrack({.editRate = rate});
        video.AddClip(odd, kMax, kMin);
        video.AddTransition(kMax, kMin);
        video.AddClip(still, kMax, kMax);
        video.AddSpeedClip(odd, kMin, kMax, {kMin32, -1});
        video.AddSpeedClip(odd, -1, kMin, {kMin32, kMin32});
        video.AddSpeedClip(matte, kMax, 0, {kMax32, 1});
        video.AddTransition(kMin, kMax);
        video.AddClip(matte, kMin, -1);
        audio.AddClip(odd, kMax, kMin);
        audio.AddSpeedClip(odd, kMax, kMax, {1, kMin32});
        audio.AddTransition(kMax, kMax);
        audio.AddClip(odd, kMin, kMax);
    }
    ScratchFolder folder;
    const Outcome outcome = Convert(folder, builder.ToBytes());
    EXPECT_EQ(outcome.status, ConversionStatus::kSucceeded);
    EXPECT_EQ(outcome.itemsPerSequence, std::vector<int>({9, 9, 9, 9}));
}

// Video clips link to the audio clips of their media file at the same place. However many a file
// puts there, the links per clip stay few, so that they cannot grow with the square of the clips.
TEST(Bounds, LinksPerClipAreCapped) {
    AafBuilder builder;
    const MediaRef media =
        builder.AddMedia({.name = "Crowd", .path = "D:\\crowd.avi", .soundSlots = 1});
    Composition edit = builder.AddComposition("Crowd");
    constexpr int kTracks = 300;
    for (int i = 0; i < kTracks; ++i) {
        edit.AddPictureTrack().AddClip(media, 10);
        edit.AddSoundTrack().AddClip(media, 10);
    }
    ScratchFolder folder;
    WriteBytes(folder / "edit.aaf", builder.ToBytes());
    const ProgramRun run = RunProgram(TESSEL_CONVERT, {"edit.aaf", "edit.xml"},
                                      {.workingFolder = folder.path().string()});
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_THAT(run.output, HasSubstr("only the first 256 of its 300 audio clips are linked"));
    EXPECT_EQ(tessel::test::StrictXmlErrors((folder / "edit.xml").string()), "");
    pugi::xml_document document;
    ASSERT_TRUE(document.load_file((folder / "edit.xml").c_str()));
    const pugi::xpath_node_set videoItems = document.select_nodes("//video/track/clipitem");
    ASSERT_EQ(videoItems.size(), static_cast<std::size_t>(kTracks));
    for (const pugi::xpath_node& item : videoItems) {
        EXPECT_EQ(item.node().select_nodes("link").size(), 256u);
    }
}

// The text of a title is gathered from every element inside it, however deeply they nest.
// A conforming parser refuses elements nested deeper than its limit (libxml2 256, as MSXML by
// default): such a title keeps the default text, and nothing recurses that deep on the way.
TEST(Bounds, DeeplyNestedTitleTextIsGatheredWithoutRecursion) {
    for (const auto& [depth, text] : {std::pair{200, "Deep"}, std::pair{1'000'000, "Dummy"}}) {
        ScratchFolder folder;
        WriteBytes(folder / "edit.aaf", SmallEdit("deep.etl"));
        std::string nested;
        nested.reserve(static_cast<size_t>(depth) * 7 + 16);
        for (int i = 0; i < depth; ++i) {
            nested += "<b>";
        }
        nested += "Deep";
        for (int i = 0; i < depth; ++i) {
            nested += "</b>";
        }
        WriteText(folder / "deep.etl", TitleDocumentXml(nested));
        const ProgramRun run = RunProgram(TESSEL_CONVERT, {"-q", "edit.aaf", "edit.xml"},
                                          {.workingFolder = folder.path().string()});
        EXPECT_EQ(run.signal, 0);
        EXPECT_EQ(run.exitCode, 0) << run.output;
        EXPECT_EQ(tessel::test::StrictXmlErrors((folder / "edit.xml").string()), "");
        pugi::xml_document document;
        ASSERT_TRUE(document.load_file((folder / "edit.xml").c_str()));
        const std::string query = std::string("//generatoritem//value[text()='") + text + "']";
        EXPECT_TRUE(document.select_node(query.c_str())) << depth;
    }
}

}  // namespace
}  // namespace tessel::reliability
