#include <string>
#include <vector>

#include "model/clip_registry.h"
#include "model_fixture.h"

namespace {

using tessel::aafwriter::AafBuilder;
using tessel::aafwriter::DataKind;
using tessel::aafwriter::MediaRef;
using tessel::aafwriter::Track;
namespace operations = tessel::aafwriter::operations;
namespace parameters = tessel::aafwriter::parameters;
namespace interpolations = tessel::aafwriter::interpolations;

// One picture track of one composition, over one media file of 1500 units.
class TrackTest : public ModelTest {
  protected:
    TrackTest()
        : media(builder.AddMedia({.path = "C:\\clip.mov", .soundSlots = 1, .sound = {}})),
          composition(builder.AddComposition("Edit")),
          video(composition.AddPictureTrack({.physicalNumber = 4})) {}

    const FCTrackBase& BuiltTrack() {
        Build(builder);
        return TrackAt(0, 0);
    }
    std::vector<aafPosition_t> RecordStarts() const {
        std::vector<aafPosition_t> starts;
        for (const auto& item : TrackAt(0, 0).clipItems) {
            starts.push_back(item->recordStart);
        }
        return starts;
    }
    std::vector<int32_t> ItemIndexes() const {
        std::vector<int32_t> indexes;
        for (const auto& item : TrackAt(0, 0).clipItems) {
            indexes.push_back(item->itemIndex);
        }
        return indexes;
    }
    // A speed-control group over one clip of `media`, without parameters.
    std::unique_ptr<tessel::aafwriter::Object> MakeGroup(std::int64_t length) {
        auto group =
            builder.MakeOperationGroup(DataKind::kPicture, length, operations::kVideoSpeedControl);
        AafBuilder::AddInput(*group, builder.MakeSourceClip(DataKind::kPicture, length,
                                                            media.masterId, media.pictureSlot, 0));
        return group;
    }

    AafBuilder builder;
    MediaRef media;
    tessel::aafwriter::Composition composition;
    Track video;
};

TEST_F(TrackTest, FillersMoveTheFollowingClips) {
    video.AddClip(media, 100);
    video.AddFiller(20);
    video.AddClip(media, 50);
    const FCTrackBase& track = BuiltTrack();

    EXPECT_EQ(RecordStarts(), (std::vector<aafPosition_t>{0, 120}));
    EXPECT_EQ(track.clipItems[1]->length, 50);
    EXPECT_EQ(track.physicalNumber, 4u);
    EXPECT_EQ(ItemIndexes(), (std::vector<int32_t>{1, 2}));
    EXPECT_EQ(log.at(2), "Processing 3 ClipItems at current video track.");
}

TEST_F(TrackTest, ATransitionIsRecordedOnThePrecedingClipAndOverlapsTheNext) {
    video.AddClip(media, 100);
    video.AddTransition(10, 5);
    video.AddClip(media, 50);
    video.AddClip(media, 30);
    const FCTrackBase& track = BuiltTrack();

    const FCClipItemBase& first = *track.clipItems[0];
    EXPECT_TRUE(first.hasTransition);
    EXPECT_EQ(first.transitionLength, 10);
    EXPECT_EQ(first.transitionCutPoint, 5);
    EXPECT_FALSE(track.clipItems[1]->hasTransition);
    EXPECT_EQ(RecordStarts(), (std::vector<aafPosition_t>{0, 90, 140}));
    // The transition item written after the first clip takes number 2.
    EXPECT_EQ(ItemIndexes(), (std::vector<int32_t>{1, 3, 4}));
}

TEST_F(TrackTest, ATransitionBeforeAnyClipOnlyMovesThePosition) {
    video.AddFiller(20);
    video.AddTransition(10, 0);
    video.AddClip(media, 50);
    const FCTrackBase& track = BuiltTrack();

    EXPECT_EQ(RecordStarts(), (std::vector<aafPosition_t>{30}));
    EXPECT_FALSE(track.clipItems[0]->hasTransition);
}

TEST_F(TrackTest, ATransitionAfterAFillerBelongsToTheLastClip) {
    video.AddClip(media, 100);
    video.AddFiller(20);
    video.AddTransition(10, 10);
    video.AddClip(media, 50);
    const FCTrackBase& track = BuiltTrack();

    EXPECT_TRUE(track.clipItems[0]->hasTransition);
    EXPECT_EQ(RecordStarts(), (std::vector<aafPosition_t>{0, 110}));
}

TEST_F(TrackTest, TwoTransitionsInARowKeepTheSecondAndStepBackByBoth) {
    video.AddClip(media, 100);
    video.AddTransition(10, 0);
    video.AddTransition(6, 3);
    video.AddClip(media, 50);
    const FCTrackBase& track = BuiltTrack();

    EXPECT_EQ(track.clipItems[0]->transitionLength, 6);
    EXPECT_EQ(track.clipItems[0]->transitionCutPoint, 3);
    EXPECT_EQ(RecordStarts(), (std::vector<aafPosition_t>{0, 84}));
}

TEST_F(TrackTest, SpeedRatiosGiveMagnitudesAndDirection) {
    struct Case {
        aafRational_t ratio;
        int32_t numerator;
        int32_t denominator;
        bool reverse;
    };
    const std::vector<Case> cases = {
        {{2, 1}, 2, 1, false},
        {{-1, 2}, 1, 2, true},
        {{0, 1}, 0, 1, true},
        {{-2, -1}, 2, 1, false},
        {{2, 2}, 2, 2, false},
        // A zero denominator leaves the ratio undefined: the clip plays at normal speed.
        {{7, 0}, 1, 1, false},
        {{0, 0}, 1, 1, false},
    };
    for (const Case& c : cases) {
        video.AddSpeedClip(media, 10, 0, c.ratio);
    }
    const FCTrackBase& track = BuiltTrack();

    ASSERT_EQ(track.clipItems.size(), cases.size());
    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(std::to_string(cases[i].ratio.numerator) + "/" +
                     std::to_string(cases[i].ratio.denominator));
        EXPECT_EQ(track.clipItems[i]->speedNumerator, cases[i].numerator);
        EXPECT_EQ(track.clipItems[i]->speedDenominator, cases[i].denominator);
        EXPECT_EQ(track.clipItems[i]->reverse, cases[i].reverse);
        EXPECT_EQ(track.clipItems[i]->recordStart, static_cast<aafPosition_t>(10 * i));
    }
}

TEST_F(TrackTest, GroupsWithoutAUsableConstantRatioPlayAtNormalSpeed) {
    video.Append(MakeGroup(10));  // no parameters at all
    auto varying = MakeGroup(10);
    builder.AddVaryingParameter(*varying, parameters::kSpeedRatio, interpolations::kLinear,
                                {{{0, 1}, {2, 1}}, {{1, 1}, {3, 1}}});
    video.Append(std::move(varying));
    auto integer = MakeGroup(10);
    builder.AddInt32Parameter(*integer, parameters::kSpeedRatio, -3);
    video.Append(std::move(integer));
    const FCTrackBase& track = BuiltTrack();

    ASSERT_EQ(track.clipItems.size(), 3u);
    for (const auto& item : track.clipItems) {
        EXPECT_EQ(item->speedNumerator, 1);
        EXPECT_EQ(item->speedDenominator, 1);
        EXPECT_FALSE(item->reverse);
    }
}

TEST_F(TrackTest, EverySourceClipInputOfAGroupStartsAtTheGroupAndOthersAreSkipped) {
    video.AddClip(media, 40);
    auto group = MakeGroup(20);
    AafBuilder::AddInput(*group, builder.MakeFiller(DataKind::kPicture, 20));
    AafBuilder::AddInput(*group, builder.MakeSourceClip(DataKind::kPicture, 20, media.masterId,
                                                        media.pictureSlot, 7));
    builder.AddRationalParameter(*group, parameters::kSpeedRatio, {-1, 1});
    video.Append(std::move(group));
    video.AddClip(media, 5);
    const FCTrackBase& track = BuiltTrack();

    EXPECT_EQ(RecordStarts(), (std::vector<aafPosition_t>{0, 40, 40, 60}));
    EXPECT_EQ(track.clipItems[2]->sourceStart, 7);
    EXPECT_TRUE(track.clipItems[1]->reverse);
    EXPECT_TRUE(track.clipItems[2]->reverse);
    EXPECT_FALSE(track.clipItems[3]->reverse);
}

TEST_F(TrackTest, ASlotHoldingASingleClipIsReadAsASequenceOfIt) {
    composition.AddSlot(builder.MakeTimelineSlot(
        composition.NextSlotId(),
        builder.MakeSourceClip(DataKind::kPicture, 25, media.masterId, media.pictureSlot, 3),
        {.editRate = {25, 1}}));
    Build(builder);

    EXPECT_EQ(log.at(2), "Processing 0 ClipItems at current video track.");
    EXPECT_EQ(log.at(4), "Processing 1 ClipItems at current video track.");
    const FCTrackBase& track = TrackAt(0, 1);
    EXPECT_EQ(track.number, 2);
    ASSERT_EQ(track.clipItems.size(), 1u);
    EXPECT_EQ(track.clipItems[0]->length, 25);
    EXPECT_EQ(track.clipItems[0]->recordStart, 0);
    EXPECT_EQ(track.clipItems[0]->sourceStart, 3);
}

TEST_F(TrackTest, ClipItemsAreRegisteredByMediaKind) {
    video.AddClip(media, 10);
    composition.AddSoundTrack().AddClip(media, 10);
    Build(builder);

    const ClipList* videoClips = FindClipsByPath(g_videoClipsByPath, "C:\\clip.mov");
    const ClipList* audioClips = FindClipsByPath(g_audioClipsByPath, "C:\\clip.mov");
    ASSERT_NE(videoClips, nullptr);
    ASSERT_NE(audioClips, nullptr);
    EXPECT_EQ(*videoClips, (ClipList{&ClipAt(0, 0, 0)}));
    EXPECT_EQ(*audioClips, (ClipList{&ClipAt(0, 1, 0)}));
    EXPECT_EQ(ClipAt(0, 1, 0).track, &TrackAt(0, 1));
}

}  // namespace
