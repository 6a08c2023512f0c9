#include "aafwriter/composition.h"

#include <algorithm>

#include "aafwriter/builder.h"

namespace tessel::aafwriter {
namespace {

bool IsSoundKind(DataKind kind) {
    return kind == DataKind::kSound || kind == DataKind::kLegacySound;
}

}  // namespace

Object& Track::AddClip(const MediaRef& media, std::int64_t length, std::int64_t sourceStart,
                       std::size_t soundIndex) {
    std::uint32_t slotId = media.pictureSlot;
    if (IsSoundKind(kind_) || slotId == 0) {
        slotId = soundIndex < media.soundSlots.size() ? media.soundSlots[soundIndex] : 0;
    }
    return AddSourceClip(media.masterId, slotId, length, sourceStart);
}

Object& Track::AddSourceClip(const aafMobID_t& mob, std::uint32_t slotId, std::int64_t length,
                             std::int64_t sourceStart) {
    return Append(builder_->MakeSourceClip(kind_, length, mob, slotId, sourceStart));
}

Object& Track::AddFiller(std::int64_t length) {
    return Append(builder_->MakeFiller(kind_, length));
}

Object& Track::AddTransition(std::int64_t length, std::int64_t cutPoint) {
    const aafUID_t operation =
        IsSoundKind(kind_) ? operations::kAudioDissolve : operations::kVideoDissolve;
    return Append(builder_->MakeTransition(kind_, length, cutPoint,
                                           builder_->MakeOperationGroup(kind_, length, operation)));
}

Object& Track::AddSpeedClip(const MediaRef& media, std::int64_t length, std::int64_t sourceStart,
                            aafRational_t speed, std::size_t soundIndex) {
    auto group = builder_->MakeOperationGroup(kind_, length, operations::kVideoSpeedControl);
    std::uint32_t slotId =
        IsSoundKind(kind_) || media.pictureSlot == 0
            ? (soundIndex < media.soundSlots.size() ? media.soundSlots[soundIndex] : 0)
            : media.pictureSlot;
    AafBuilder::AddInput(
        *group, builder_->MakeSourceClip(kind_, length, media.masterId, slotId, sourceStart));
    builder_->AddRationalParameter(*group, parameters::kSpeedRatio, speed);
    return Append(std::move(group));
}

Object& Track::Append(std::unique_ptr<Object> component) {
    return AafBuilder::AppendComponent(*sequence_, std::move(component));
}

std::uint32_t Composition::NextSlotId() const {
    std::uint32_t next = 1;
    if (const Property* slots = mob_->Find(pids::kSlots)) {
        for (const auto& slot : slots->objects) {
            if (const Property* id = slot->Find(pids::kSlotID); id && id->value.size() == 4) {
                std::uint32_t v = 0;
                for (int i = 0; i < 4; ++i) {
                    const std::size_t at = slot->byteOrder() == ByteOrder::kLittle
                                               ? static_cast<std::size_t>(3 - i)
                                               : static_cast<std::size_t>(i);
                    v = (v << 8) | id->value[at];
                }
                next = std::max(next, v + 1);
            }
        }
    }
    return next;
}

Object& Composition::AddTimecodeSlot(std::int64_t start, std::uint16_t fps, bool drop,
                                     std::optional<std::int64_t> length, const TrackSpec& spec,
                                     DataKind kind) {
    const std::uint32_t slotId = spec.slotId.value_or(NextSlotId());
    return AddSlot(builder_->MakeTimelineSlot(
        slotId, builder_->MakeTimecode(start, fps, drop, length, kind), spec));
}

Track Composition::AddTrack(DataKind kind, const TrackSpec& spec) {
    const std::uint32_t slotId = spec.slotId.value_or(NextSlotId());
    Object& slot = AddSlot(builder_->MakeTimelineSlot(slotId, builder_->MakeSequence(kind), spec));
    return Track(builder_, &slot, slot.Child(pids::kSegment), kind);
}

Object& Composition::AddSlot(std::unique_ptr<Object> slot) {
    return mob_->AppendChild(pids::kSlots, std::move(slot));
}

}  // namespace tessel::aafwriter
