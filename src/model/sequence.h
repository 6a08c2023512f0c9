#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "aaf/AAF.h"
#include "model/media_kind.h"

class FCInterchange;
class FCTrackBase;

/// What a mob slot holds, as told by its data definition. Picture and sound double as the media
/// kinds of tracks and clip items.
enum SlotKind : int32_t {
    kSlotNone = 0,
    kSlotPicture = 1,
    kSlotSound = 2,
    kSlotMatte = 3,
    kSlotTimecode = 4,
};

/// Classifies a data definition; matte wins over timecode, timecode over sound, sound over picture.
SlotKind ClassifyDataDef(const std::shared_ptr<IAAFDataDef>& dataDef);

/// The timeline of one composition mob. Built completely (tracks and clip items) by the
/// constructor.
class FCSequence {
  public:
    FCSequence(FCInterchange* owner, const std::shared_ptr<IAAFMob>& mob);
    ~FCSequence();
    FCSequence(const FCSequence&) = delete;
    FCSequence& operator=(const FCSequence&) = delete;

    /// Creates the track of `kind` for `slot` and appends it; `number` counts tracks of that kind.
    void AddTrack(int32_t kind, const std::shared_ptr<IAAFMobSlot>& slot, int32_t number);

    FCInterchange* owner = nullptr;
    std::string name;
    /// Length of the timecode slot's segment, in units of `editRate`.
    aafLength_t length = 0;
    aafTimecode_t startTimecode{};
    aafRational_t editRate{0, 1};
    /// Tracks in slot order, video and audio interleaved; never holds null.
    std::vector<std::unique_ptr<FCTrackBase>> tracks;
};
