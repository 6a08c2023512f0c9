#include "model/clip_item.h"

#include <algorithm>
#include <array>
#include <span>
#include <utility>
#include <vector>

#include "job/clip_registry.h"
#include "job/conversion_job.h"
#include "job/log.h"
#include "model/generator_kind.h"
#include "titles/title_document.h"
#include "titles/title_info.h"
#include "xmeml/edit_arithmetic.h"

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

FCWaveFormat ReadWaveFormat(const IAAFWAVEDescriptor& wave) {
    FCWaveFormat format;
    aafUInt32 size = 0;
    wave.GetSummaryBufferSize(size);
    if (size <= kWaveFormatEnd) {
        return format;
    }
    std::vector<aafUInt8> summary(size);
    wave.GetSummary(summary);
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

void FCClipItemBase::ResolveSourceChain() {
    // The chain stops quietly wherever a step yields nothing; the fields keep what they have.
    std::shared_ptr<IAAFMob> mob;
    if (!sourceClip || !g_aafHeader ||
        AAFRESULT_FAILED(g_aafHeader->LookupMob(sourceRef.sourceID, mob)) || !mob) {
        return;
    }
    mob->GetName(mobName);
    std::shared_ptr<IAAFMobSlot> slot;
    if (AAFRESULT_FAILED(mob->LookupSlot(sourceRef.sourceSlotID, slot)) || !slot) {
        return;
    }
    std::shared_ptr<IAAFTimelineMobSlot> timeline;
    if (AAFRESULT_SUCCEEDED(QueryInterface(slot, timeline))) {
        timeline->GetEditRate(editRate);
    }
    slot->GetName(slotName);
    std::shared_ptr<IAAFSegment> segment;
    slot->GetSegment(segment);
    if (segment && AAFRESULT_SUCCEEDED(QueryInterface(segment, masterClip))) {
        ResolveMedia();
    }
}

void FCClipItemBase::ResolveMedia() {
    aafSourceRef_t masterRef{};
    masterClip->GetSourceReference(masterRef);
    std::shared_ptr<IAAFMob> mob;
    std::shared_ptr<IAAFSourceMob> sourceMob;
    if (AAFRESULT_FAILED(g_aafHeader->LookupMob(masterRef.sourceID, mob)) ||
        AAFRESULT_FAILED(QueryInterface(mob, sourceMob))) {
        return;
    }
    sourceMob->GetEssenceDescriptor(essenceDescriptor);
    if (!essenceDescriptor) {
        return;
    }
    std::shared_ptr<IAAFLocator> locator;
    if (AAFRESULT_SUCCEEDED(essenceDescriptor->GetLocatorAt(0, locator)) && locator) {
        locator->GetPath(mediaPath);
    }
    masterClip->GetLength(mediaLength);
}

void FCClipItemBase::ResolveLinks() {
    if (mediaKind != kMediaVideo) {
        return;
    }
    const ClipList* audio = g_audioClipsByPath.FindAt(mediaPath, recordStart, length);
    if (audio == nullptr) {
        return;
    }
    // A real edit has a few audio clips under a video clip, one per channel. A file with
    // thousands there would make the links, and the document, grow with the square of the
    // clips: beyond the cap they stay unlinked, and the log says so.
    const size_t linked = std::min(audio->size(), kMaxLinkedAudioClips);
    links.insert(links.end(), audio->begin(), audio->begin() + static_cast<std::ptrdiff_t>(linked));
    if (linked < audio->size()) {
        LogLine("Clip " + mobName + " at " + std::to_string(recordStart) + ": only the first " +
                    std::to_string(linked) + " of its " + std::to_string(audio->size()) +
                    " audio clips are linked",
                kLogWarning);
    }
}

FCAudioClipItem::FCAudioClipItem(FCTrackBase* track_, std::shared_ptr<IAAFSourceClip> sourceClip_,
                                 aafPosition_t recordStart_)
    : FCClipItemBase(track_, std::move(sourceClip_), kMediaAudio, recordStart_) {
    std::shared_ptr<IAAFWAVEDescriptor> wave;
    if (essenceDescriptor && AAFRESULT_SUCCEEDED(QueryInterface(essenceDescriptor, wave))) {
        waveFormat = ReadWaveFormat(*wave);
    }
}

FCVideoClipItem::FCVideoClipItem(FCTrackBase* track_, std::shared_ptr<IAAFSourceClip> sourceClip_,
                                 aafPosition_t recordStart_)
    : FCClipItemBase(track_, std::move(sourceClip_), kMediaVideo, recordStart_) {
    std::shared_ptr<IAAFDigitalImageDescriptor> image;
    if (!essenceDescriptor || AAFRESULT_FAILED(QueryInterface(essenceDescriptor, image))) {
        return;
    }
    image->GetStoredView(storedHeight, storedWidth);
    image->GetImageAspectRatio(aspectRatio);
    aafUInt32 lineMapSize = 0;
    image->GetVideoLineMapSize(lineMapSize);
    if (lineMapSize == 2) {
        std::array<aafInt32, 2> lineMap{};
        image->GetVideoLineMap(lineMap);
        fieldDominance = lineMap[0] != 0 ? 2 : 1;
    }
}

FCVideoClipItem::~FCVideoClipItem() = default;

void FCVideoClipItem::ResolveLinks() {
    FCClipItemBase::ResolveLinks();
    // Any audio use of the same file gives the video its audio format, wherever it lies.
    const ClipList* audio = FindClipsByPath(g_audioClipsByPath, mediaPath);
    mediaAudio = audio != nullptr && !audio->empty() ? audio->front() : nullptr;
    hasMediaAudio = hasMediaAudio || mediaAudio != nullptr;
    if (generatorKind != kGeneratorTitle) {
        return;
    }
    title = std::make_unique<FCTitleInfo>();
    ReadTitleDocument(mediaPath, *title);
}
