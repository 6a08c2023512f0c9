#include <string>
#include <vector>

#include "model_fixture.h"

namespace {

using tessel::aafwriter::AafBuilder;
using tessel::aafwriter::DataKind;
using tessel::aafwriter::MediaRef;

using Lines = std::vector<std::string>;

using SequenceTest = ModelTest;

TEST_F(SequenceTest, SlotsBecomeTracksInSlotOrderNumberedPerKind) {
    AafBuilder builder;
    MediaRef media = builder.AddMedia({.path = "C:\\clip.mov", .soundSlots = 1, .sound = {}});
    auto composition = builder.AddComposition("Edit");
    composition.AddTimecodeSlot(900000, 25, false, 100);
    composition.AddPictureTrack().AddClip(media, 100);
    composition.AddSoundTrack().AddClip(media, 100);
    composition.AddSoundTrack();
    Build(builder);

    const Lines expected = {
        "Processing Sequence: Edit", "Processing Track #0",
        "Processing Track #1",       "Processing 1 ClipItems at current video track.",
        "Processing Track #2",       "Processing 1 ClipItems at current audio track.",
        "Processing Track #3",       "Processing 0 ClipItems at current audio track."};
    EXPECT_EQ(log, expected);
    const FCSequence& sequence = *model->sequences.at(0);
    ASSERT_EQ(sequence.tracks.size(), 3u);
    EXPECT_EQ(sequence.tracks[0]->mediaKind, kMediaVideo);
    EXPECT_EQ(sequence.tracks[0]->number, 1);
    EXPECT_EQ(sequence.tracks[1]->mediaKind, kMediaAudio);
    EXPECT_EQ(sequence.tracks[1]->number, 1);
    EXPECT_EQ(sequence.tracks[2]->mediaKind, kMediaAudio);
    EXPECT_EQ(sequence.tracks[2]->number, 2);
    EXPECT_EQ(sequence.tracks[0]->owner, &sequence);
}

TEST_F(SequenceTest, TheTimecodeSlotGivesLengthRateAndStartAndTheLastOneWins) {
    AafBuilder builder;
    auto composition = builder.AddComposition("Two timecodes");
    composition.AddTimecodeSlot(900000, 25, false, 100, {.editRate = {25, 1}});
    composition.AddTimecodeSlot(107892, 30, true, 250, {.editRate = {30000, 1001}});
    Build(builder);

    const FCSequence& sequence = *model->sequences.at(0);
    EXPECT_TRUE(sequence.tracks.empty());
    EXPECT_EQ(sequence.length, 250);
    EXPECT_EQ(sequence.editRate, (aafRational_t{30000, 1001}));
    EXPECT_EQ(sequence.startTimecode.startFrame, 107892);
    EXPECT_EQ(sequence.startTimecode.drop, kAAFTcDrop);
    EXPECT_EQ(sequence.startTimecode.fps, 30);
}

TEST_F(SequenceTest, MatteAndUnknownSlotsAreLoggedButMakeNoTracks) {
    AafBuilder builder;
    auto composition = builder.AddComposition("Mattes");
    composition.AddTrack(DataKind::kMatte);
    composition.AddTrack(DataKind::kPictureWithMatte);
    composition.AddTrack(DataKind::kEdgecode);
    Build(builder);

    EXPECT_EQ(log, (Lines{"Processing Sequence: Mattes", "Processing Track #0",
                          "Processing Track #1", "Processing Track #2"}));
    EXPECT_TRUE(model->sequences.at(0)->tracks.empty());
}

TEST_F(SequenceTest, ACompositionWithoutSlotsOrNameLogsOnlyItsLine) {
    AafBuilder builder;
    builder.AddComposition(std::nullopt);
    Build(builder);

    EXPECT_EQ(log, (Lines{"Processing Sequence: "}));
    const FCSequence& sequence = *model->sequences.at(0);
    EXPECT_EQ(sequence.name, "");
    EXPECT_EQ(sequence.length, 0);
    EXPECT_EQ(sequence.editRate, (aafRational_t{0, 1}));
    EXPECT_EQ(sequence.startTimecode.startFrame, 0);
    EXPECT_EQ(sequence.startTimecode.fps, 0);
}

TEST_F(SequenceTest, LegacyDataDefinitionsCountLikeTheCurrentOnes) {
    AafBuilder builder;
    MediaRef media = builder.AddMedia(
        {.path = "C:\\a.mov", .soundSlots = 1, .sound = {}, .legacyDataDefinitions = true});
    auto composition = builder.AddComposition("Legacy");
    composition.AddTimecodeSlot(0, 25, false, 80, {}, DataKind::kLegacyTimecode);
    composition.AddTrack(DataKind::kLegacyPicture).AddClip(media, 80);
    composition.AddTrack(DataKind::kLegacySound).AddClip(media, 80);
    Build(builder);

    const FCSequence& sequence = *model->sequences.at(0);
    ASSERT_EQ(sequence.tracks.size(), 2u);
    EXPECT_EQ(sequence.tracks[0]->mediaKind, kMediaVideo);
    EXPECT_EQ(sequence.tracks[1]->mediaKind, kMediaAudio);
    EXPECT_EQ(sequence.length, 80);
}

// Without a timecode slot the sequence takes the rate of its first picture slot and the
// length of its longest track, and starts at frame 0 at that rate's timebase.
TEST_F(SequenceTest, WithoutTimecodeSlotThePictureAndSoundSlotsGiveTheValues) {
    AafBuilder builder;
    MediaRef media = builder.AddMedia({.path = "C:\\a.mov", .soundSlots = 1, .sound = {}});
    auto composition = builder.AddComposition("No timecode");
    composition.AddSoundTrack({.editRate = {25, 1}}).AddClip(media, 60);
    composition.AddPictureTrack({.editRate = {30000, 1001}}).AddClip(media, 40);
    Build(builder);

    const FCSequence& sequence = *model->sequences.at(0);
    EXPECT_EQ(sequence.editRate, (aafRational_t{30000, 1001}));
    EXPECT_EQ(sequence.length, 60);
    EXPECT_EQ(sequence.startTimecode.startFrame, 0);
    EXPECT_EQ(sequence.startTimecode.drop, kAAFTcNonDrop);
    EXPECT_EQ(sequence.startTimecode.fps, 30);
}

TEST_F(SequenceTest, ATimecodeSlotHoldingASequenceGivesLengthAndRateButNoTimecode) {
    AafBuilder builder;
    auto composition = builder.AddComposition("Timecode sequence");
    auto segment = builder.MakeSequence(DataKind::kTimecode);
    AafBuilder::AppendComponent(*segment, builder.MakeTimecode(90000, 25, false, 75));
    composition.AddSlot(builder.MakeTimelineSlot(composition.NextSlotId(), std::move(segment),
                                                 {.editRate = {50, 1}}));
    Build(builder);

    const FCSequence& sequence = *model->sequences.at(0);
    EXPECT_EQ(sequence.length, 75);
    EXPECT_EQ(sequence.editRate, (aafRational_t{50, 1}));
    EXPECT_EQ(sequence.startTimecode.startFrame, 0);
    EXPECT_EQ(sequence.startTimecode.fps, 50);
}

TEST_F(SequenceTest, EveryCompositionBecomesOneSequenceInEnumerationOrder) {
    AafBuilder builder;
    builder.AddComposition("First");
    builder.AddMedia({.path = "C:\\a.mov", .sound = {}});
    builder.AddComposition("Second");
    Build(builder);

    ASSERT_EQ(model->sequences.size(), 2u);
    EXPECT_EQ(model->sequences[0]->name, "First");
    EXPECT_EQ(model->sequences[1]->name, "Second");
    EXPECT_EQ(model->sequences[1]->owner, model.get());
}

}  // namespace
