#include "xmeml/clip_item_writer.h"

#include <optional>
#include <string>

#include "model/clip_item.h"
#include "model/edit_arithmetic.h"
#include "model/sequence.h"
#include "model/track.h"
#include "xmeml/filter_writer.h"
#include "xmeml/generator_writer.h"
#include "xmeml/portable_form.h"
#include "xmeml/transition_writer.h"
#include "xmeml/xml_document.h"

namespace {

// The item before `item` in its track. Items are written in track order, so the place of the
// last item asked for is remembered and the next one is normally found right after it; a search
// from the start would make writing a long track quadratic.
const FCClipItemBase* PreviousItemInTrack(const FCClipItemBase& item) {
    if (item.track == nullptr) {
        return nullptr;
    }
    const auto& items = item.track->clipItems;
    thread_local const FCTrackBase* lastTrack = nullptr;
    thread_local size_t lastIndex = 0;
    size_t index = items.size();
    if (lastTrack == item.track) {
        for (size_t candidate : {lastIndex + 1, lastIndex}) {
            if (candidate < items.size() && items[candidate].get() == &item) {
                index = candidate;
                break;
            }
        }
    }
    if (index == items.size()) {
        for (index = 0; index < items.size() && items[index].get() != &item; ++index) {
        }
    }
    if (index == items.size()) {
        return nullptr;
    }
    lastTrack = item.track;
    lastIndex = index;
    return index > 0 ? items[index - 1].get() : nullptr;
}

const char* MediaTypeText(int32_t mediaKind) {
    return mediaKind == kMediaVideo ? "video" : "audio";
}

// The portable form's file of a media item: described in full with an id at its first use in
// the sequence, afterwards only that id. False when the file is only referred to.
bool WritePortableFile(const FCClipItemBase& item, FCXmlDocument& writer, XmlElement file) {
    const std::optional<std::string>& url = writer.portable->PathUrl(item.mediaPath);
    if (!url) {
        // Without a locator the media is offline: no pathurl, and nothing to refer to.
        writer.AddTextElement(file, "name", item.slotName);
        return true;
    }
    const PortableForm::FileUse use = writer.portable->UseFile(*url);
    writer.SetAttribute(file, "id", use.id);
    if (use.describedBefore) {
        return false;
    }
    writer.AddTextElement(file, "name", item.slotName);
    writer.AddTextElement(file, "pathurl", *url);
    return true;
}

}  // namespace

void WriteTiming(const FCClipItemBase& item, FCXmlDocument& writer, XmlElement element) {
    writer.WriteRate(writer.AddElement(element, "rate"), item.editRate.numerator,
                     item.editRate.denominator);
    const int64_t duration =
        ScaledBySpeed(item.mediaLength, item.speedNumerator, item.speedDenominator);
    const int64_t span = ScaledBySpeed(item.length, item.speedNumerator, item.speedDenominator);
    const int64_t in = item.reverse
                           ? WrappingSubtract(WrappingSubtract(duration, span), item.sourceStart)
                           : item.sourceStart;
    const FCClipItemBase* previous = PreviousItemInTrack(item);
    writer.AddIntegerElement(element, "duration", duration);
    writer.AddIntegerElement(element, "in", in);
    writer.AddIntegerElement(element, "out", WrappingAdd(in, span));
    writer.AddIntegerElement(element, "start",
                             previous && previous->hasTransition ? -1 : item.recordStart);
    writer.AddIntegerElement(element, "end",
                             item.hasTransition ? -1 : WrappingAdd(item.recordStart, span));
}

void WriteMediaType(const FCClipItemBase& item, FCXmlDocument& writer, XmlElement parent) {
    writer.AddTextElement(parent, "mediatype", MediaTypeText(item.mediaKind));
}

void WriteTrackIndex(FCXmlDocument& writer, XmlElement parent, int64_t number) {
    writer.AddIntegerElement(parent, "trackindex", number);
}

std::string_view PixelAspectRatioText(int32_t numerator, int32_t denominator,
                                      uint32_t storedWidth) {
    // An undefined ratio has no name; the element is still written, empty.
    if (denominator == 0) {
        return {};
    }
    // Thousandths, truncated toward zero; 64 bits so that no ratio can overflow.
    switch (int64_t{numerator} * 1000 / denominator) {
        case 800:
            return "NTSC-601";
        case 1000:
            return "square";
        case 1066:
            return "PAL-601";
        case 1185:
            return storedWidth == 1280 ? "HD-(1280x1080)" : "NTSC-601";
        case 1333:
            return storedWidth == 1440 ? "HD-(1440x1080)" : "HD-(960x720)";
        case 1422:
            return "PAL-601";
        default:
            return {};
    }
}

void WritePixelAspectRatio(const FCVideoClipItem& item, FCXmlDocument& writer,
                           XmlElement clipItem) {
    writer.AddTextElement(clipItem, "pixelaspectratio",
                          PixelAspectRatioText(item.aspectRatio.numerator,
                                               item.aspectRatio.denominator, item.storedWidth));
}

std::string_view FieldDominanceText(int32_t fieldDominance) {
    switch (fieldDominance) {
        case 1:
            return "lower";
        case 2:
            return "upper";
        default:
            return "none";
    }
}

void WriteFieldDominance(const FCVideoClipItem& item, FCXmlDocument& writer, XmlElement clipItem) {
    writer.AddTextElement(clipItem, "fielddominance", FieldDominanceText(item.fieldDominance));
}

XmlElement WriteClipItem(const FCClipItemBase& item, FCXmlDocument& writer,
                         XmlElement trackElement) {
    const auto* video = dynamic_cast<const FCVideoClipItem*>(&item);
    if (video != nullptr && item.generatorKind == kGeneratorTitle) {
        return WriteGeneratorItem(*video, writer, trackElement);
    }
    const XmlElement clipItem = writer.AddElement(trackElement, "clipitem");
    writer.AddTextElement(clipItem, "name", item.mobName);
    WriteTiming(item, writer, clipItem);
    if (item.generatorKind == kGeneratorStill) {
        writer.AddTextElement(clipItem, "stillframe", "TRUE");
    }
    if (const XmlElement file = WriteFile(item, writer, clipItem)) {
        WriteSampleCharacteristics(item, writer, writer.AddElement(file, "media"));
    }
    if (video != nullptr) {
        WritePixelAspectRatio(*video, writer, clipItem);
    }
    WriteFilters(item, writer, clipItem);
    const XmlElement sourceTrack = writer.AddElement(clipItem, "sourcetrack");
    WriteMediaType(item, writer, sourceTrack);
    if (item.mediaKind == kMediaAudio) {
        WriteTrackIndex(writer, sourceTrack, item.track ? item.track->physicalNumber : 0);
    }
    WriteLinks(item, writer, clipItem);
    if (video != nullptr) {
        WriteFieldDominance(*video, writer, clipItem);
    }
    // The transition follows the finished clip item in the track.
    WriteTransitionItem(item, writer, trackElement);
    return clipItem;
}

XmlElement WriteFile(const FCClipItemBase& item, FCXmlDocument& writer, XmlElement clipItem) {
    const XmlElement file = writer.AddElement(clipItem, "file");
    if (writer.portable != nullptr && item.generatorKind != kGeneratorColorMatte &&
        item.generatorKind != kGeneratorBarsAndTone) {
        return WritePortableFile(item, writer, file) ? file : XmlElement();
    }
    writer.AddTextElement(file, "name", item.slotName);
    switch (item.generatorKind) {
        case kGeneratorColorMatte:
            writer.AddTextElement(file, "mediaSource", "Slug");
            break;
        case kGeneratorBarsAndTone:
            writer.AddTextElement(file, "mediaSource", "BarsAndTone");
            break;
        default:
            writer.AddTextElement(file, "pathurl", item.mediaPath);
            break;
    }
    return file;
}

void WriteLinks(const FCClipItemBase& item, FCXmlDocument& writer, XmlElement clipItem) {
    for (const FCClipItemBase* linked : item.links) {
        if (linked == nullptr) {
            continue;
        }
        const XmlElement link = writer.AddElement(clipItem, "link");
        writer.AddTextElement(link, "mediatype", MediaTypeText(linked->mediaKind));
        writer.AddIntegerElement(link, "trackindex", linked->track ? linked->track->number : 0);
        writer.AddIntegerElement(link, "clipindex", linked->itemIndex);
        if (linked->mediaKind == kMediaAudio) {
            writer.AddTextElement(link, "groupindex", "1");
        }
    }
}

namespace {

void WriteAudioCharacteristics(const FCAudioClipItem& item, FCXmlDocument& writer,
                               XmlElement media) {
    const FCWaveFormat& waveFormat = item.waveFormat;
    const XmlElement audio = writer.AddElement(media, "audio");
    writer.AddIntegerElement(audio, "channelcount", waveFormat.channelCount);
    const XmlElement characteristics = writer.AddElement(audio, "samplecharacteristics");
    writer.AddIntegerElement(characteristics, "samplerate", waveFormat.sampleRate);
    writer.AddIntegerElement(characteristics, "depth", waveFormat.bitsPerSample);
}

void WriteVideoCharacteristics(const FCVideoClipItem& item, FCXmlDocument& writer,
                               XmlElement media) {
    const XmlElement video = writer.AddElement(media, "video");
    // The media's own length: not scaled by the speed, unlike the clip item's "duration".
    writer.AddIntegerElement(video, "duration", item.mediaLength);
    if (item.generatorKind == kGeneratorStill) {
        writer.AddTextElement(video, "stillframe", "TRUE");
    }
    const XmlElement characteristics = writer.AddElement(video, "samplecharacteristics");
    writer.AddIntegerElement(characteristics, "width", item.storedWidth);
    writer.AddIntegerElement(characteristics, "height", item.storedHeight);
    if (item.mediaAudio != nullptr) {
        WriteSampleCharacteristics(*item.mediaAudio, writer, media);
    }
}

}  // namespace

void WriteSampleCharacteristics(const FCClipItemBase& item, FCXmlDocument& writer,
                                XmlElement media) {
    if (const auto* video = dynamic_cast<const FCVideoClipItem*>(&item)) {
        WriteVideoCharacteristics(*video, writer, media);
    } else if (const auto* audio = dynamic_cast<const FCAudioClipItem*>(&item)) {
        WriteAudioCharacteristics(*audio, writer, media);
    }
}
