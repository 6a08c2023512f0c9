#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "aafwriter/object.h"
#include "aafwriter/specs.h"

namespace tessel::aafwriter {

class AafBuilder;

/// A TimelineMobSlot of a composition whose segment is a Sequence; components are appended in
/// timeline order and the Sequence's length follows (transitions overlap their neighbours).
class Track {
  public:
    Object& slot() const { return *slot_; }
    Object& sequence() const { return *sequence_; }
    DataKind kind() const { return kind_; }

    /// A SourceClip of `media`: its picture slot on a picture track, else sound slot `soundIndex`.
    Object& AddClip(const MediaRef& media, std::int64_t length, std::int64_t sourceStart = 0,
                    std::size_t soundIndex = 0);
    Object& AddSourceClip(const aafMobID_t& mob, std::uint32_t slotId, std::int64_t length,
                          std::int64_t sourceStart = 0);
    Object& AddFiller(std::int64_t length);
    /// A Transition with a dissolve OperationGroup of the track's kind.
    Object& AddTransition(std::int64_t length, std::int64_t cutPoint);
    /// An OperationGroup (speed control) with a constant Rational SpeedRatio over one clip.
    Object& AddSpeedClip(const MediaRef& media, std::int64_t length, std::int64_t sourceStart,
                         aafRational_t speed, std::size_t soundIndex = 0);
    Object& Append(std::unique_ptr<Object> component);

  private:
    friend class Composition;
    Track(AafBuilder* builder, Object* slot, Object* sequence, DataKind kind)
        : builder_(builder), slot_(slot), sequence_(sequence), kind_(kind) {}

    AafBuilder* builder_;
    Object* slot_;
    Object* sequence_;
    DataKind kind_;
};

/// A CompositionMob being built.
class Composition {
  public:
    Object& mob() const { return *mob_; }
    aafMobID_t id() const { return id_; }

    /// A timeline slot holding a Timecode segment; `length` absent leaves Length out.
    Object& AddTimecodeSlot(std::int64_t start, std::uint16_t fps, bool drop,
                            std::optional<std::int64_t> length, const TrackSpec& spec = {},
                            DataKind kind = DataKind::kTimecode);
    Track AddTrack(DataKind kind, const TrackSpec& spec = {});
    Track AddPictureTrack(const TrackSpec& spec = {}) { return AddTrack(DataKind::kPicture, spec); }
    Track AddSoundTrack(const TrackSpec& spec = {}) { return AddTrack(DataKind::kSound, spec); }
    /// Any slot (event, static, a timeline slot with another segment).
    Object& AddSlot(std::unique_ptr<Object> slot);
    std::uint32_t NextSlotId() const;

  private:
    friend class AafBuilder;
    Composition(AafBuilder* builder, Object* mob, aafMobID_t id)
        : builder_(builder), mob_(mob), id_(id) {}

    AafBuilder* builder_;
    Object* mob_;
    aafMobID_t id_;
};

}  // namespace tessel::aafwriter
