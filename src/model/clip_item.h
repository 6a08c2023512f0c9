#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "aaf/AAF.h"
#include "model/media_kind.h"
#include "model/shared_text.h"
#include "model/title_info.h"

class FCTrackBase;

/// What a clip item shows.
enum GeneratorKind : int32_t {
    kGeneratorNone = 0,         ///< an ordinary media file
    kGeneratorTitle = 1,        ///< an EDIUS title document (".etl")
    kGeneratorColorMatte = 2,   ///< slot named "Color Matte"
    kGeneratorBarsAndTone = 3,  ///< slot named "Bars and Tone"
    kGeneratorStill = 4,        ///< media of length 1
};

/// The most audio clips one video clip links to (far more than any real clip has channels).
inline constexpr size_t kMaxLinkedAudioClips = 256;

/// One use of a piece of media on a track: its place on the track and its source chain
/// (composition clip, referenced mob slot, master clip, source mob, descriptor, locator).
class FCClipItemBase {
  public:
    virtual ~FCClipItemBase();
    FCClipItemBase(const FCClipItemBase&) = delete;
    FCClipItemBase& operator=(const FCClipItemBase&) = delete;

    /// Video items link to the audio items of the same media path, record start and length;
    /// a title reads its title document with `readTitle` (when given).
    virtual void ResolveLinks(const TitleDocumentReader& readTitle);

    std::shared_ptr<IAAFSourceClip> sourceClip;
    /// The segment of the referenced mob slot, when it is a source clip.
    std::shared_ptr<IAAFSourceClip> masterClip;
    /// The descriptor of the source mob that `masterClip` refers to.
    std::shared_ptr<IAAFEssenceDescriptor> essenceDescriptor;
    FCTrackBase* track = nullptr;
    /// Record duration on the track, also the length of the source span used.
    aafLength_t length = 0;
    /// 1-based place among the track's items, transition items counted; 0 until numbered.
    int32_t itemIndex = 0;
    /// Edit rate of the referenced mob slot; 0/1 when that slot is not a timeline slot.
    aafRational_t editRate{0, 1};
    int32_t speedNumerator = 1;
    int32_t speedDenominator = 1;
    /// The speed ratio is not greater than zero.
    bool reverse = false;
    /// A transition follows this item (kept beside `reverse`, where the item has room for it).
    bool hasTransition = false;

  private:
    /// Made in an arena (see ClipItemDelete); here, where the item has room for it.
    bool inArena_ = false;

  public:
    /// The texts are shared by the items of one source.
    SharedText mobName;
    SharedText slotName;
    /// Path of the source mob's first locator, as the AAF file holds it (until renamed).
    SharedText mediaPath;
    /// Length of the media in units of `editRate`; `length` when not known.
    aafLength_t mediaLength = 0;
    aafPosition_t recordStart = 0;
    aafSourceRef_t sourceRef{};
    aafPosition_t sourceStart = 0;
    int32_t mediaKind = 0;
    int32_t generatorKind = kGeneratorNone;
    aafLength_t transitionLength = 0;
    aafPosition_t transitionCutPoint = 0;
    /// For video items: the audio items that belong to this clip; not owned.
    std::vector<FCClipItemBase*> links;

  protected:
    /// Follows the source chain through `g_aafHeader` and classifies the clip. A null
    /// `sourceClip` gives an item with the initial values (for tests of the writers).
    FCClipItemBase(FCTrackBase* track, std::shared_ptr<IAAFSourceClip> sourceClip,
                   int32_t mediaKind, aafPosition_t recordStart);

  private:
    friend class FCTrackBase;  // makes items in its arena
    friend struct ClipItemDelete;

    /// The referenced mob and slot (names, edit rate, master clip) and the master clip's source
    /// mob (descriptor, media path, media length).
    void ResolveSourceChain();
};

/// Ends a clip item: one made in its track's arena is destroyed there (the arena keeps the
/// memory until the track goes), any other is deleted. Stateless, so that an owning pointer is
/// one word.
struct ClipItemDelete {
    ClipItemDelete() = default;
    /// Implicit, so that items made with std::make_unique (tests, hand-built tracks) are taken
    /// over and deleted as usual.
    template <class Item>
    ClipItemDelete(std::default_delete<Item> /*heap*/) {}
    void operator()(FCClipItemBase* item) const;
};

/// An owned clip item, wherever it was made.
using ClipItemPtr = std::unique_ptr<FCClipItemBase, ClipItemDelete>;

/// The format part of a RIFF WAVE header (bytes 12 to 35), all zero when not available.
struct FCWaveFormat {
    uint32_t chunkId = 0;
    uint32_t chunkSize = 0;
    uint16_t formatTag = 0;
    uint16_t channelCount = 0;
    uint32_t sampleRate = 0;
    uint32_t bytesPerSecond = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
};

/// What a digital image descriptor says of the picture; the initial values when the descriptor
/// is not one.
struct FCPictureFormat {
    uint32_t storedWidth = 0;
    uint32_t storedHeight = 0;
    aafRational_t aspectRatio{0, 1};
    /// As `FCVideoClipItem::fieldDominance`.
    int32_t fieldDominance = 0;
};

class FCAudioClipItem : public FCClipItemBase {
  public:
    FCAudioClipItem(FCTrackBase* track, std::shared_ptr<IAAFSourceClip> sourceClip,
                    aafPosition_t recordStart);

    FCWaveFormat waveFormat;
};

class FCVideoClipItem : public FCClipItemBase {
  public:
    FCVideoClipItem(FCTrackBase* track, std::shared_ptr<IAAFSourceClip> sourceClip,
                    aafPosition_t recordStart);
    ~FCVideoClipItem() override;

    /// The common links, then the media audio and, for a title, the title record.
    void ResolveLinks(const TitleDocumentReader& readTitle) override;

    uint32_t storedWidth = 0;
    uint32_t storedHeight = 0;
    aafRational_t aspectRatio{0, 1};
    /// 0 progressive or unknown, 1 two-entry line map starting with 0, 2 any other two-entry map.
    int32_t fieldDominance = 0;
    bool hasMediaAudio = false;
    /// The first audio item registered under the same media path; not owned.
    FCClipItemBase* mediaAudio = nullptr;
    /// Text and font of a title (`generatorKind` 1 only), after `ResolveLinks`.
    std::unique_ptr<FCTitleInfo> title;
};
