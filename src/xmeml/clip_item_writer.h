#pragma once

#include <cstdint>
#include <string_view>

#include "xmeml/xml_document.h"

class FCClipItemBase;
class FCVideoClipItem;

/// Appends the item's element to `trackElement` and returns it: a title's "generatoritem",
/// every other clip's "clipitem" (a video one ending with its field dominance), with the
/// transition that follows the item after it.
XmlElement WriteClipItem(const FCClipItemBase& item, FCXmlDocument& writer,
                         XmlElement trackElement);
/// Appends the "file" element to `clipItem` and returns it to be described further; an empty
/// element when the portable form only refers to a file this sequence has described before.
XmlElement WriteFile(const FCClipItemBase& item, FCXmlDocument& writer, XmlElement clipItem);
/// Appends one "link" element per linked item to `clipItem`.
void WriteLinks(const FCClipItemBase& item, FCXmlDocument& writer, XmlElement clipItem);
/// Appends the item's "audio" or "video" description to the file's `media` element.
void WriteSampleCharacteristics(const FCClipItemBase& item, FCXmlDocument& writer,
                                XmlElement media);

/// Appends "rate", "duration", "in", "out", "start" and "end" of a clip or generator item, the
/// source values scaled by the item's speed.
void WriteTiming(const FCClipItemBase& item, FCXmlDocument& writer, XmlElement element);
/// Appends "mediatype": "video" for a video item, "audio" otherwise.
void WriteMediaType(const FCClipItemBase& item, FCXmlDocument& writer, XmlElement parent);
void WriteTrackIndex(FCXmlDocument& writer, XmlElement parent, int64_t number);
/// Appends "pixelaspectratio" to `clipItem`.
void WritePixelAspectRatio(const FCVideoClipItem& item, FCXmlDocument& writer, XmlElement clipItem);
void WriteFieldDominance(const FCVideoClipItem& item, FCXmlDocument& writer, XmlElement clipItem);

/// The interchange name of an image aspect ratio (empty when it has none, or the ratio is
/// undefined); the stored width tells the anamorphic HD formats apart.
std::string_view PixelAspectRatioText(int32_t numerator, int32_t denominator, uint32_t storedWidth);
/// "lower" for 1, "upper" for 2, "none" otherwise.
std::string_view FieldDominanceText(int32_t fieldDominance);
