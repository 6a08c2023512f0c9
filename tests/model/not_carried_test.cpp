// What the track walk carries into the document and what it leaves out, against a count of the
// stored objects made apart from it.

#include <numeric>
#include <string>
#include <vector>

#include "job/conversion_report.h"
#include "model/source_clip_census.h"
#include "model_fixture.h"

namespace {

using tessel::aafwriter::AafBuilder;
using tessel::aafwriter::DataKind;
using tessel::aafwriter::MediaRef;
using tessel::aafwriter::Object;
using tessel::aafwriter::Track;
namespace classes = tessel::aafwriter::classes;
namespace operations = tessel::aafwriter::operations;
namespace pids = tessel::aafwriter::pids;

constexpr std::uint16_t kRendering = 0x0B05;
constexpr std::uint16_t kNestedScopeSlots = 0x0C01;
constexpr std::uint16_t kSelected = 0x0F01;
constexpr std::uint16_t kAlternates = 0x0F02;

class NotCarriedTest : public ModelTest {
  protected:
    NotCarriedTest()
        : media(builder.AddMedia({.path = "C:\\clip.mov", .soundSlots = 1, .sound = {}})),
          composition(builder.AddComposition("Edit")),
          video(composition.AddPictureTrack({.slotId = 7})) {}

    std::unique_ptr<Object> Clip(std::int64_t length) {
        return builder.MakeSourceClip(DataKind::kPicture, length, media.masterId, media.pictureSlot,
                                      0);
    }
    // A segment of `classId` with the picture data kind and `length`.
    std::unique_ptr<Object> Segment(const aafUID_t& classId, std::int64_t length) {
        auto segment = builder.MakeObject(classId);
        segment->SetWeakReference(pids::kComponentDataDefinition,
                                  tessel::aafwriter::WeakTarget::kDataDefinitions,
                                  tessel::aafwriter::DataDefinitionId(DataKind::kPicture));
        segment->SetInt64(pids::kComponentLength, length);
        return segment;
    }
    std::unique_ptr<Object> NestedSequence(int clips, std::int64_t clipLength) {
        auto sequence = builder.MakeSequence(DataKind::kPicture);
        for (int i = 0; i < clips; ++i) {
            AafBuilder::AppendComponent(*sequence, Clip(clipLength));
        }
        return sequence;
    }
    std::unique_ptr<Object> Selector(int alternates) {
        auto selector = Segment(classes::kSelector, 40);
        selector->SetChild(kSelected, Clip(40));
        for (int i = 0; i < alternates; ++i) {
            selector->AppendChild(kAlternates, Clip(40));
        }
        return selector;
    }

    // Every source clip is an item or in one note, for the track and for its report.
    static void ExpectAllAccountedFor(const FCTrackBase& track) {
        uint64_t noted = 0;
        for (const FCNotCarried& note : track.notCarried) {
            EXPECT_GT(note.sourceClips, 0U);
            EXPECT_FALSE(note.reason.empty());
            noted += note.sourceClips;
        }
        EXPECT_EQ(track.clipItems.size() + noted, track.sourceClipsInSlot);
    }

    AafBuilder builder;
    MediaRef media;
    tessel::aafwriter::Composition composition;
    Track video;
};

TEST_F(NotCarriedTest, AnEdiusShapedTrackCarriesEverySourceClip) {
    video.AddClip(media, 100);
    video.AddTransition(10, 5);
    video.AddFiller(20);
    video.AddSpeedClip(media, 50, 0, {1, 2});
    Build(builder);
    const FCTrackBase& track = TrackAt(0, 0);
    EXPECT_EQ(track.sourceClipsInSlot, 2U);
    EXPECT_EQ(track.clipItems.size(), 2U);
    EXPECT_TRUE(track.notCarried.empty());
    EXPECT_EQ(track.slotId, 7U);
}

TEST_F(NotCarriedTest, SkippedComponentsAreNotedWhereTheyStartWithWhatTheyHold) {
    video.AddClip(media, 100);            // 0..100, written
    video.Append(NestedSequence(3, 10));  // 100..130, three clips left out
    video.Append(Selector(2));            // 130..170, the selected clip only
    auto scope = Segment(classes::kNestedScope, 25);
    scope->AppendChild(kNestedScopeSlots, Clip(25));
    scope->AppendChild(kNestedScopeSlots, NestedSequence(2, 10));
    video.Append(std::move(scope));  // 170..195, three clips
    video.AddClip(media, 10);        // 195..205, written
    Build(builder);

    const FCTrackBase& track = TrackAt(0, 0);
    EXPECT_EQ(track.sourceClipsInSlot, 9U);  // the selector's alternates are not in the cut
    EXPECT_EQ(track.clipItems.size(), 2U);
    ASSERT_EQ(track.notCarried.size(), 3U);
    EXPECT_EQ(track.notCarried[0].kind, "Sequence");
    EXPECT_EQ(track.notCarried[0].position, 100);
    EXPECT_EQ(track.notCarried[0].length, 30);
    EXPECT_EQ(track.notCarried[0].sourceClips, 3U);
    EXPECT_EQ(track.notCarried[0].reason, "nested sequence");
    EXPECT_EQ(track.notCarried[1].kind, "Selector");
    EXPECT_EQ(track.notCarried[1].position, 130);
    EXPECT_EQ(track.notCarried[1].sourceClips, 1U);
    EXPECT_EQ(track.notCarried[2].kind, "NestedScope");
    EXPECT_EQ(track.notCarried[2].position, 170);
    EXPECT_EQ(track.notCarried[2].sourceClips, 3U);
    ExpectAllAccountedFor(track);
}

TEST_F(NotCarriedTest, AnEffectsInputsAreItemsOrNotesAndItsRenderingIsNoted) {
    auto group = builder.MakeOperationGroup(DataKind::kPicture, 60, operations::kVideoSpeedControl);
    AafBuilder::AddInput(*group, Clip(60));
    AafBuilder::AddInput(*group, NestedSequence(2, 30));
    auto inner = builder.MakeOperationGroup(DataKind::kPicture, 60, operations::kVideoSpeedControl);
    AafBuilder::AddInput(*inner, Clip(60));
    AafBuilder::AddInput(*group, std::move(inner));
    group->SetChild(kRendering, Clip(60));
    video.AddFiller(15);
    video.Append(std::move(group));
    Build(builder);

    const FCTrackBase& track = TrackAt(0, 0);
    EXPECT_EQ(track.sourceClipsInSlot, 5U);
    EXPECT_EQ(track.clipItems.size(), 1U);
    ASSERT_EQ(track.notCarried.size(), 3U);
    EXPECT_EQ(track.notCarried[0].reason, "nested sequence inside an effect");
    EXPECT_EQ(track.notCarried[0].sourceClips, 2U);
    EXPECT_EQ(track.notCarried[0].position, 15);
    EXPECT_EQ(track.notCarried[1].reason, "effect inside another effect");
    EXPECT_EQ(track.notCarried[1].sourceClips, 1U);
    EXPECT_EQ(track.notCarried[2].kind, "OperationGroup");  // what is left: the rendering
    EXPECT_EQ(track.notCarried[2].sourceClips, 1U);
    ExpectAllAccountedFor(track);
}

TEST_F(NotCarriedTest, ASlotHoldingOneSkippedComponentIsNotedWhole) {
    composition.AddSlot(builder.MakeTimelineSlot(9, Selector(3), {}));
    composition.AddSlot(builder.MakeTimelineSlot(10, Clip(12), {}));
    Build(builder);
    const FCTrackBase& selectorTrack = TrackAt(0, 1);
    EXPECT_EQ(selectorTrack.sourceClipsInSlot, 1U);
    EXPECT_TRUE(selectorTrack.clipItems.empty());
    ASSERT_EQ(selectorTrack.notCarried.size(), 1U);
    EXPECT_EQ(selectorTrack.notCarried[0].kind, "Selector");
    const FCTrackBase& clipTrack = TrackAt(0, 2);
    EXPECT_EQ(clipTrack.sourceClipsInSlot, 1U);
    EXPECT_EQ(clipTrack.clipItems.size(), 1U);
    EXPECT_TRUE(clipTrack.notCarried.empty());
}

TEST_F(NotCarriedTest, TheSequenceReportAddsUpAndNamesTheTracks) {
    video.AddClip(media, 100);
    video.Append(NestedSequence(2, 10));
    Track sound = composition.AddSoundTrack();
    sound.AddClip(media, 100);
    sound.AddTransition(10, 5);
    sound.AddClip(media, 50);
    composition.AddTimecodeSlot(90000, 25, false, 300);
    Build(builder);

    const SequenceReport report = ReportSequence(*model->sequences.at(0));
    EXPECT_EQ(report.name, "Edit");
    EXPECT_EQ(report.sourceClipsInTimeline, 5U);
    EXPECT_EQ(report.sourceClipsWritten, 3U);
    EXPECT_EQ(report.SourceClipsNotCarried(), 2U);
    EXPECT_EQ(report.clipItems, 3U);
    EXPECT_EQ(report.transitions, 1U);
    ASSERT_EQ(report.notCarried.size(), 1U);
    EXPECT_EQ(report.notCarried[0].track, "V1");
    EXPECT_EQ(report.notCarried[0].slotId, 7U);
    EXPECT_EQ(report.notCarried[0].timecode, "01:00:04:00");  // 90000 + 100 frames at 25

    ConversionReport conversion;
    conversion.converted = true;
    conversion.sequences = {report};
    EXPECT_EQ(ReportSummaryText(conversion),
              "1 sequence, 3 of 5 source clips written; 2 not carried (nested sequence in V1 at "
              "01:00:04:00)\n");
}

TEST_F(NotCarriedTest, ATitleWhoseDocumentIsMissingIsCountedOnceByPath) {
    const MediaRef title = builder.AddMedia({.path = "C:\\titles\\gone.etl", .soundSlots = 0});
    video.AddClip(title, 50);
    video.AddClip(title, 50);
    Build(builder);
    const SequenceReport report = ReportSequence(*model->sequences.at(0));
    EXPECT_EQ(report.generatorItems, 2U);
    EXPECT_EQ(report.clipItems, 0U);
    EXPECT_EQ(report.sourceClipsWritten, 2U);
    EXPECT_EQ(report.titles.read, 0U);
    EXPECT_EQ(report.titles.defaultText, 2U);
    EXPECT_EQ(report.titles.pathsNotFound, (std::vector<std::string>{"C:\\titles\\gone.etl"}));
}

TEST_F(NotCarriedTest, TheCountFollowsStrongReferencesOnly) {
    // The alternates are not counted; a source clip's reference to its master mob is not
    // followed (the master mob's own source clip does not count).
    video.Append(Selector(4));
    Build(builder);
    std::shared_ptr<IAAFSequence> sequence = TrackAt(0, 0).sequence;
    ASSERT_TRUE(sequence);
    EXPECT_EQ(CountSourceClips(*sequence), 1U);
}

}  // namespace
