#pragma once

#include <cstddef>
#include <deque>
#include <memory>
#include <optional>
#include <string>

#include "aaf/AAF.h"
#include "model/clip_item.h"
#include "model/dense_index.h"
#include "model/shared_text.h"

/// What following the source chain of one source reference (mob id and slot id) gave: the values
/// a clip item takes from it. Where the chain stopped, the rest keeps its initial value.
struct ResolvedSource {
    SharedText mobName;
    aafRational_t editRate{0, 1};
    SharedText slotName;
    std::shared_ptr<IAAFSourceClip> masterClip;
    std::shared_ptr<IAAFEssenceDescriptor> essenceDescriptor;
    SharedText mediaPath;
    /// The master clip's length, when the chain reached a master clip that has one.
    std::optional<aafLength_t> mediaLength;
    /// What the descriptor says of the media, read for the first audio and the first video item
    /// of the source and kept for the others.
    std::optional<FCWaveFormat> waveFormat;
    std::optional<FCPictureFormat> pictureFormat;
};

/// Source chains already followed in the open file, by source reference. A long timeline uses
/// each media file many times, and each chain is followed once.
class SourceCache {
  public:
    /// The chain of (`mob`, `slot`) if it has been followed, or null.
    ResolvedSource* Find(const aafMobID_t& mob, aafSlotID_t slot);
    const ResolvedSource& Add(const aafMobID_t& mob, aafSlotID_t slot, ResolvedSource source);
    void Clear();

  private:
    struct Key {
        aafMobID_t mob;
        aafSlotID_t slot;
        bool operator==(const Key&) const = default;
    };
    struct KeyHash {
        size_t operator()(const Key& key) const;
    };

    DenseIndex<Key, KeyHash> keys_;
    // By the keys' numbers; a deque, so that what Find gave stays where it is.
    std::deque<ResolvedSource> sources_;
};

/// The open file's header while a conversion runs; the clip items look mobs up in it.
extern std::shared_ptr<IAAFHeader> g_aafHeader;

/// The chains followed through `g_aafHeader`; emptied when the header changes and when the file
/// is closed (the views it holds keep the file open).
extern SourceCache g_sourceCache;
