#include "model/sequence.h"

#include <optional>
#include <string>

#include "model/log.h"
#include "model/rate_table.h"
#include "model/track.h"

namespace {

bool Test(const IAAFDataDef& dataDef, AAFRESULT (IAAFDataDef::*test)(aafBoolean_t&) const) {
    aafBoolean_t result = kAAFFalse;
    (dataDef.*test)(result);
    return result;
}

// What the picture and sound slots offer when no timecode slot gives the sequence its values.
struct SlotFallbacks {
    std::optional<aafRational_t> pictureRate;
    std::optional<aafRational_t> soundRate;
    std::optional<aafLength_t> longestLength;

    void Note(SlotKind kind, const std::shared_ptr<IAAFMobSlot>& slot,
              const std::shared_ptr<IAAFSegment>& segment) {
        std::optional<aafRational_t>& rate = kind == kSlotPicture ? pictureRate : soundRate;
        std::shared_ptr<IAAFTimelineMobSlot> timeline;
        if (!rate && AAFRESULT_SUCCEEDED(QueryInterface(slot, timeline))) {
            aafRational_t editRate{0, 1};
            if (AAFRESULT_SUCCEEDED(timeline->GetEditRate(editRate))) {
                rate = editRate;
            }
        }
        aafLength_t length = 0;
        if (AAFRESULT_SUCCEEDED(segment->GetLength(length)) &&
            (!longestLength || length > *longestLength)) {
            longestLength = length;
        }
    }
};

}  // namespace

SlotKind ClassifyDataDef(const std::shared_ptr<IAAFDataDef>& dataDef) {
    if (!dataDef) {
        return kSlotNone;
    }
    // All four tests run, in this order; the precedence is matte, timecode, sound, picture.
    const bool picture = Test(*dataDef, &IAAFDataDef::IsPictureKind);
    const bool sound = Test(*dataDef, &IAAFDataDef::IsSoundKind);
    const bool timecode = Test(*dataDef, &IAAFDataDef::IsTimecodeKind);
    const bool matte = Test(*dataDef, &IAAFDataDef::IsMatteKind);
    if (matte) {
        return kSlotMatte;
    }
    if (timecode) {
        return kSlotTimecode;
    }
    if (sound) {
        return kSlotSound;
    }
    return picture ? kSlotPicture : kSlotNone;
}

FCSequence::FCSequence(FCInterchange* owner_, const std::shared_ptr<IAAFMob>& mob) : owner(owner_) {
    if (mob) {
        mob->GetName(name);
    }
    LogLine("Processing Sequence: " + name, kLogProgress);

    int32_t videoCounter = 1;
    int32_t audioCounter = 1;
    aafNumSlots_t count = 0;
    if (mob) {
        mob->CountSlots(count);
    }
    bool rateSet = false;
    bool lengthSet = false;
    bool timecodeSet = false;
    SlotFallbacks fallbacks;
    for (aafUInt32 i = 0; i < count; ++i) {
        LogLine("Processing Track #" + std::to_string(i), kLogProgress);
        std::shared_ptr<IAAFMobSlot> slot;
        if (AAFRESULT_FAILED(mob->GetSlotAt(i, slot)) || !slot) {
            continue;
        }
        std::shared_ptr<IAAFSegment> segment;
        if (AAFRESULT_FAILED(slot->GetSegment(segment)) || !segment) {
            continue;
        }
        std::shared_ptr<IAAFDataDef> dataDef;
        slot->GetDataDef(dataDef);
        if (!dataDef) {
            continue;
        }
        const SlotKind kind = ClassifyDataDef(dataDef);
        if (kind == kSlotTimecode) {
            // Every timecode slot overwrites what an earlier one set: the last one wins.
            std::shared_ptr<IAAFTimelineMobSlot> timeline;
            if (AAFRESULT_SUCCEEDED(QueryInterface(slot, timeline))) {
                rateSet = AAFRESULT_SUCCEEDED(timeline->GetEditRate(editRate)) || rateSet;
                lengthSet = AAFRESULT_SUCCEEDED(segment->GetLength(length)) || lengthSet;
                std::shared_ptr<IAAFTimecode> timecode;
                if (AAFRESULT_SUCCEEDED(QueryInterface(segment, timecode))) {
                    timecodeSet =
                        AAFRESULT_SUCCEEDED(timecode->GetTimecode(startTimecode)) || timecodeSet;
                }
            }
        } else if (kind == kSlotPicture) {
            fallbacks.Note(kind, slot, segment);
            AddTrack(kSlotPicture, slot, videoCounter++);
        } else if (kind == kSlotSound) {
            fallbacks.Note(kind, slot, segment);
            AddTrack(kSlotSound, slot, audioCounter++);
        }
    }

    // Without a timecode slot (or one that gave no value) the sequence takes its rate from its
    // first picture slot, else its first sound slot, and the length of its longest track; its
    // timecode then starts at frame 0, non-drop, at the rate's timebase.
    if (!rateSet) {
        editRate =
            fallbacks.pictureRate.value_or(fallbacks.soundRate.value_or(aafRational_t{0, 1}));
    }
    if (!lengthSet) {
        length = fallbacks.longestLength.value_or(0);
    }
    if (!timecodeSet) {
        std::optional<RateTimebase> rate = LookupRate(editRate.numerator, editRate.denominator);
        startTimecode =
            aafTimecode_t{0, kAAFTcNonDrop, static_cast<aafUInt16>(rate ? rate->timebase : 0)};
    }
}

FCSequence::~FCSequence() = default;

void FCSequence::AddTrack(int32_t kind, const std::shared_ptr<IAAFMobSlot>& slot, int32_t number) {
    if (std::unique_ptr<FCTrackBase> track = CreateTrack(kind, slot, number, this)) {
        tracks.push_back(std::move(track));
    }
}
