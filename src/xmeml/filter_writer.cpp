#include "xmeml/filter_writer.h"

#include <charconv>

#include "model/clip_item.h"
#include "model/sequence.h"
#include "model/track.h"
#include "xmeml/xml_document.h"

std::string SpeedPercentText(int32_t numerator, int32_t denominator) {
    // A freeze has no finite percentage; it is written as 0 (the receiving editor's "hold").
    const double percent =
        numerator == 0 ? 0.0
                       : static_cast<double>(denominator) * 100.0 / static_cast<double>(numerator);
    // std::to_chars, unlike printf, ignores the locale: the point is always a point.
    char digits[64];
    const auto end =
        std::to_chars(digits, digits + sizeof digits, percent, std::chars_format::fixed, 5).ptr;
    return std::string(digits, end);
}

namespace {

void WriteTimeRemap(const FCClipItemBase& item, FCXmlDocument& writer, XmlElement clipItem) {
    const XmlElement effect = writer.AddElement(writer.AddElement(clipItem, "filter"), "effect");
    writer.AddTextElement(effect, "name", "Time Remap");
    writer.AddTextElement(effect, "effectid", "timeremap");
    writer.AddTextElement(effect, "effectcategory", "motion");
    if (writer.portable != nullptr) {
        writer.AddTextElement(effect, "effecttype", "motion");
    }
    writer.AddTextElement(effect, "mediatype", item.mediaKind == kMediaVideo ? "video" : "audio");
    writer.AddParameter(effect, "speed", "speed",
                        SpeedPercentText(item.speedNumerator, item.speedDenominator));
    writer.AddParameter(effect, "reverse", "reverse", item.reverse ? "TRUE" : "FALSE");
}

void WriteAudioPan(const FCClipItemBase& item, FCXmlDocument& writer, XmlElement clipItem) {
    const XmlElement effect = writer.AddElement(writer.AddElement(clipItem, "filter"), "effect");
    writer.AddTextElement(effect, "name", "Audio Pan");
    writer.AddTextElement(effect, "effectid", "audiopan");
    writer.AddTextElement(effect, "effectcategory", "audiopan");
    writer.AddTextElement(effect, "effecttype", "audiopan");
    writer.AddTextElement(effect, "mediatype", "audio");
    // Physical track 1 is the left channel; every other track, numbered or not, goes right.
    const bool left = item.track != nullptr && item.track->physicalNumber == 1;
    const XmlElement parameter = writer.AddParameter(effect, "pan", "Pan", left ? "-1" : "1");
    writer.AddTextElement(parameter, "valuemin", "-1");
    writer.AddTextElement(parameter, "valuemax", "1");
}

}  // namespace

void WriteFilters(const FCClipItemBase& item, FCXmlDocument& writer, XmlElement clipItem) {
    if (item.speedNumerator != 1 || item.speedDenominator != 1 || item.reverse) {
        WriteTimeRemap(item, writer, clipItem);
    }
    if (item.mediaKind == kMediaAudio) {
        WriteAudioPan(item, writer, clipItem);
    }
}
