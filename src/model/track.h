#pragma once

#include <cstdint>
#include <memory>
#include <memory_resource>
#include <new>
#include <utility>
#include <vector>

#include "aaf/AAF.h"
#include "model/clip_item.h"
#include "model/media_kind.h"
#include "model/not_carried.h"
#include "model/title_info.h"

class FCSequence;

/// One picture or sound slot of a composition, as the list of clip items on it.
class FCTrackBase {
  public:
    virtual ~FCTrackBase();
    FCTrackBase(const FCTrackBase&) = delete;
    FCTrackBase& operator=(const FCTrackBase&) = delete;

    /// Numbers the clip items (transition items counted) and lets each resolve its links
    /// (titles read with `readTitle`).
    virtual void NumberItems(const TitleDocumentReader& readTitle);
    /// Walks the slot's components once and creates and registers the clip items.
    virtual void BuildClipItems() = 0;

    /// The slot's segment when it is a sequence; null otherwise.
    std::shared_ptr<IAAFSequence> sequence;
    /// 1-based number among the sequence's tracks of the same media kind.
    int32_t number = 0;
    FCSequence* owner = nullptr;
    int32_t mediaKind = 0;

    /// The clip items in timeline order; never holds null.
    std::vector<ClipItemPtr> clipItems;
    /// The slot's physical track number; 0 when the slot has none.
    uint32_t physicalNumber = 0;
    /// The slot's id, to tell the user where something was left out.
    aafSlotID_t slotId = 0;
    /// Source clips in the slot's segment, counted on the stored objects apart from the walk.
    uint64_t sourceClipsInSlot = 0;
    /// The parts of the segment holding source clips that no clip item stands for; with
    /// `clipItems` they account for every one of `sourceClipsInSlot`.
    std::vector<FCNotCarried> notCarried;

  protected:
    FCTrackBase(int32_t mediaKind, int32_t number, FCSequence* owner,
                const std::shared_ptr<IAAFMobSlot>& slot);

    /// Creates the clip item of the track's class for a source clip at `recordStart`.
    virtual ClipItemPtr CreateClipItem(const std::shared_ptr<IAAFSourceClip>& sourceClip,
                                       aafPosition_t recordStart) = 0;

    /// A clip item of class `Item`, made in the interchange's arena when the track belongs to
    /// one (tracks built alone, in tests, make theirs on the heap).
    template <class Item, class... Arguments>
    ClipItemPtr MakeClipItem(Arguments&&... arguments) {
        std::pmr::memory_resource* arena = ClipItemArena();
        if (arena == nullptr) {
            return ClipItemPtr(new Item(std::forward<Arguments>(arguments)...));
        }
        void* place = arena->allocate(sizeof(Item), alignof(Item));
        // A constructor that throws leaves its bytes in the arena, which the interchange frees.
        Item* item = new (place) Item(std::forward<Arguments>(arguments)...);
        item->inArena_ = true;
        return ClipItemPtr(item);
    }

    /// The walk both concrete tracks share; `kindWord` is "audio" or "video" for the progress line.
    void BuildClipItemsOf(const char* kindWord);

  private:
    std::pmr::memory_resource* ClipItemArena() const;

    /// The slot's segment when it is a single component rather than a sequence: the track reads
    /// it as a sequence of that one component.
    std::shared_ptr<IAAFComponent> loneComponent_;

    /// Creates, appends and registers a clip item; returns it.
    FCClipItemBase* AppendClipItem(const std::shared_ptr<IAAFSourceClip>& sourceClip,
                                   aafPosition_t recordStart);
    /// Creates the clip items of an operation group's source-clip inputs, with its speed ratio;
    /// notes the inputs left out. Returns the source clips accounted for (items and notes).
    uint64_t AddOperationGroup(const IAAFOperationGroup& group, aafPosition_t position);
    /// Notes `sourceClips` source clips of `component` (at `position`) that no item stands for.
    void NoteNotCarried(const IAAFComponent* component, aafPosition_t position,
                        uint64_t sourceClips, const std::string& reason);
};

class FCAudioTrack : public FCTrackBase {
  public:
    FCAudioTrack(int32_t number, FCSequence* owner, const std::shared_ptr<IAAFMobSlot>& slot);
    void BuildClipItems() override;

  protected:
    ClipItemPtr CreateClipItem(const std::shared_ptr<IAAFSourceClip>& sourceClip,
                               aafPosition_t recordStart) override;
};

class FCVideoTrack : public FCTrackBase {
  public:
    FCVideoTrack(int32_t number, FCSequence* owner, const std::shared_ptr<IAAFMobSlot>& slot);
    void BuildClipItems() override;

  protected:
    ClipItemPtr CreateClipItem(const std::shared_ptr<IAAFSourceClip>& sourceClip,
                               aafPosition_t recordStart) override;
};

/// Kind 1 gives an `FCVideoTrack`, kind 2 an `FCAudioTrack`, any other kind null.
std::unique_ptr<FCTrackBase> CreateTrack(int32_t kind, const std::shared_ptr<IAAFMobSlot>& slot,
                                         int32_t number, FCSequence* owner);
