#include "model/clip_item.h"

#include <algorithm>
#include <array>
#include <span>
#include <utility>
#include <vector>

#include "model/clip_registry.h"
#include "model/edit_arithmetic.h"
#include "model/generator_kind.h"
#include "model/log.h"
#include "model/source_cache.h"

namespace {

// The WAVE summary's fields are little-endian whatever the machine.
uint16_t ReadLittle16(std::span<const aafUInt8> bytes, size_t at) {
    return static_cast<uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

uint32_t ReadLittle32(std::span<const aafUInt8> bytes, size_t at) {
    return static_cast<uint32_t>(bytes[at]) | static_cast<uint32_t>(bytes[at + 1]) << 8 |
           static_cast<uint32_t>(bytes[at + 2]) << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
}

// The summary is a RIFF header whose format chunk starts at byte 12; the fields end at byte 36.
constexpr aafUInt32 kWaveFormatEnd = 36;

FCWaveFormat ReadWaveFormat(const std::shared_ptr<IAAFEssenceDescriptor>& descriptor) {
    FCWaveFormat format;
    std::shared_ptr<IAAFWAVEDescriptor> wave;
    if (!descriptor || AAFRESULT_FAILED(QueryInterface(descriptor, wave))) {
        return format;
    }
    aafUInt32 size = 0;
    wave->GetSummaryBufferSize(size);
    if (size <= kWaveFormatEnd) {
        return format;
    }
    std::vector<aafUInt8> summary(size);
    wave->GetSummary(summary);
    format.chunkId = ReadLittle32(summary, 12);
    format.chunkSize = ReadLittle32(summary, 16);
    format.formatTag = ReadLittle16(summary, 20);
    format.channelCount = ReadLittle16(summary, 22);
    format.sampleRate = ReadLittle32(summary, 24);
    format.bytesPerSecond = ReadLittle32(summary, 28);
    format.blockAlign = ReadLittle16(summary, 32);
    format.bitsPerSample = ReadLittle16(summary, 34);
    return format;
}

FCPictureFormat ReadPictureFormat(const std::shared_ptr<IAAFEssenceDescriptor>& descriptor) {
    FCPictureFormat format;
    std::shared_ptr<IAAFDigitalImageDescriptor> image;
    if (!descriptor || AAFRESULT_FAILED(QueryInterface(descriptor, image))) {
        return format;
    }
    image->GetStoredView(format.storedHeight, format.storedWidth);
    image->GetImageAspectRatio(format.aspectRatio);
    aafUInt32 lineMapSize = 0;
    image->GetVideoLineMapSize(lineMapSize);
    if (lineMapSize == 2) {
        std::array<aafInt32, 2> lineMap{};
        image->GetVideoLineMap(lineMap);
        format.fieldDominance = lineMap[0] != 0 ? 2 : 1;
    }
    return format;
}

// What `read` gives for the item's descriptor. Items of one source share their descriptor: it
// is read for the first of them and kept in the source's cache entry.
template <class Format>
Format DescribedFormat(const FCClipItemBase& item, std::optional<Format> ResolvedSource::*kept,
                       Format (*read)(const std::shared_ptr<IAAFEssenceDescriptor>&)) {
    if (!item.essenceDescriptor) {
        return Format{};
    }
    ResolvedSource* source =
        item.sourceClip && g_aafHeader
            ? g_sourceCache.Find(item.sourceRef.sourceID, item.sourceRef.sourceSlotID)
            : nullptr;
    if (source == nullptr) {
        return read(item.essenceDescriptor);
    }
    if (!(source->*kept)) {
        source->*kept = read(item.essenceDescriptor);
    }
    return *(source->*kept);
}

// The referenced mob and slot (names, edit rate, master clip), then the master clip's source
// mob (descriptor, media path, media length). The chain stops quietly wherever a step yields
// nothing; what it has found so far stands.
ResolvedSource FollowSourceChain(const IAAFHeader& header, const aafSourceRef_t& sourceRef) {
    ResolvedSource source;
    std::shared_ptr<IAAFMob> mob;
    if (AAFRESULT_FAILED(header.LookupMob(sourceRef.sourceID, mob)) || !mob) {
        return source;
    }
    std::string text;
    mob->GetName(text);
    source.mobName = std::move(text);
    std::shared_ptr<IAAFMobSlot> slot;
    if (AAFRESULT_FAILED(mob->LookupSlot(sourceRef.sourceSlotID, slot)) || !slot) {
        return source;
    }
    std::shared_ptr<IAAFTimelineMobSlot> timeline;
    if (AAFRESULT_SUCCEEDED(QueryInterface(slot, timeline))) {
        timeline->GetEditRate(source.editRate);
    }
    text.clear();
    slot->GetName(text);
    source.slotName = std::move(text);
    std::shared_ptr<IAAFSegment> segment;
    slot->GetSegment(segment);
    if (!segment || AAFRESULT_FAILED(QueryInterface(segment, source.masterClip))) {
        return source;
    }
    aafSourceRef_t masterRef{};
    source.masterClip->GetSourceReference(masterRef);
    std::shared_ptr<IAAFMob> masterMob;
    std::shared_ptr<IAAFSourceMob> sourceMob;
    if (AAFRESULT_FAILED(header.LookupMob(masterRef.sourceID, masterMob)) ||
        AAFRESULT_FAILED(QueryInterface(masterMob, sourceMob))) {
        return source;
    }
    sourceMob->GetEssenceDescriptor(source.essenceDescriptor);
    if (!source.essenceDescriptor) {
        return source;
    }
    std::shared_ptr<IAAFLocator> locator;
    if (AAFRESULT_SUCCEEDED(source.essenceDescriptor->GetLocatorAt(0, locator)) && locator) {
        text.clear();
        locator->GetPath(text);
        source.mediaPath = std::move(text);
    }
    aafLength_t length = 0;
    if (AAFRESULT_SUCCEEDED(source.masterClip->GetLength(length))) {
        source.mediaLength = length;
    }
    return source;
}

}  // namespace

FCClipItemBase::FCClipItemBase(FCTrackBase* track_, std::shared_ptr<IAAFSourceClip> sourceClip_,
                               int32_t mediaKind_, aafPosition_t recordStart_)
    : sourceClip(std::move(sourceClip_)),
      track(track_),
      recordStart(recordStart_),
      mediaKind(mediaKind_) {
    if (sourceClip) {
        sourceClip->GetSourceReference(sourceRef);
        sourceClip->GetLength(length);
    }
    sourceStart = sourceRef.startTime;
    mediaLength = length;
    ResolveSourceChain();

    generatorKind = ClassifyGenerator(slotName, mediaPath, mediaLength);
    if (generatorKind == kGeneratorColorMatte || generatorKind == kGeneratorStill) {
        // A generated or still clip shows the middle of a virtual medium one minute longer than
        // the clip at each end.
        const aafLength_t handle = GeneratorHandle(editRate);
        sourceStart = handle;
        sourceRef.startTime = handle;
        mediaLength = WrappingAdd(length, 2 * handle);
    }
}

FCClipItemBase::~FCClipItemBase() = default;

void ClipItemDelete::operator()(FCClipItemBase* item) const {
    if (item->inArena_) {
        item->~FCClipItemBase();
    } else {
        delete item;
    }
}

void FCClipItemBase::ResolveSourceChain() {
    if (!sourceClip || !g_aafHeader) {
        return;
    }
    // Clip items of the same source share what its chain leads to; it is followed once.
    const ResolvedSource* source = g_sourceCache.Find(sourceRef.sourceID, sourceRef.sourceSlotID);
    if (source == nullptr) {
        source = &g_sourceCache.Add(sourceRef.sourceID, sourceRef.sourceSlotID,
                                    FollowSourceChain(*g_aafHeader, sourceRef));
    }
    mobName = source->mobName;
    editRate = source->editRate;
    slotName = source->slotName;
    masterClip = source->masterClip;
    essenceDescriptor = source->essenceDescriptor;
    mediaPath = source->mediaPath;
    if (source->mediaLength) {
        mediaLength = *source->mediaLength;
    }
}

void FCClipItemBase::ResolveLinks(const TitleDocumentReader& /*readTitle*/) {
    if (mediaKind != kMediaVideo) {
        return;
    }
    const std::span<FCClipItemBase* const> audio =
        g_audioClipsByPath.FindAt(mediaPath, recordStart, length);
    if (audio.empty()) {
        return;
    }
    // A real edit has a few audio clips under a video clip, one per channel. A file with
    // thousands there would make the links, and the document, grow with the square of the
    // clips: beyond the cap they stay unlinked, and the log says so.
    const size_t linked = std::min(audio.size(), kMaxLinkedAudioClips);
    links.assign(audio.begin(), audio.begin() + static_cast<std::ptrdiff_t>(linked));
    if (linked < audio.size()) {
        LogLine("Clip " + mobName.str() + " at " + std::to_string(recordStart) +
                    ": only the first " + std::to_string(linked) + " of its " +
                    std::to_string(audio.size()) + " audio clips are linked",
                kLogWarning);
    }
}

FCAudioClipItem::FCAudioClipItem(FCTrackBase* track_, std::shared_ptr<IAAFSourceClip> sourceClip_,
                                 aafPosition_t recordStart_)
    : FCClipItemBase(track_, std::move(sourceClip_), kMediaAudio, recordStart_) {
    waveFormat = DescribedFormat(*this, &ResolvedSource::waveFormat, ReadWaveFormat);
}

FCVideoClipItem::FCVideoClipItem(FCTrackBase* track_, std::shared_ptr<IAAFSourceClip> sourceClip_,
                                 aafPosition_t recordStart_)
    : FCClipItemBase(track_, std::move(sourceClip_), kMediaVideo, recordStart_) {
    const FCPictureFormat picture =
        DescribedFormat(*this, &ResolvedSource::pictureFormat, ReadPictureFormat);
    storedWidth = picture.storedWidth;
    storedHeight = picture.storedHeight;
    aspectRatio = picture.aspectRatio;
    fieldDominance = picture.fieldDominance;
}

FCVideoClipItem::~FCVideoClipItem() = default;

void FCVideoClipItem::ResolveLinks(const TitleDocumentReader& readTitle) {
    FCClipItemBase::ResolveLinks(readTitle);
    // Any audio use of the same file gives the video its audio format, wherever it lies.
    const ClipList* audio = FindClipsByPath(g_audioClipsByPath, mediaPath);
    mediaAudio = audio != nullptr && !audio->empty() ? audio->front() : nullptr;
    hasMediaAudio = hasMediaAudio || mediaAudio != nullptr;
    if (generatorKind != kGeneratorTitle) {
        return;
    }
    title = std::make_unique<FCTitleInfo>();
    if (readTitle) {
        readTitle(mediaPath, *title);
    }
}
