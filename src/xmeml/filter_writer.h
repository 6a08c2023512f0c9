#pragma once

#include <cstdint>
#include <string>

#include "xmeml/xml_document.h"

class FCClipItemBase;

/// Appends the item's filters to its "clipitem": "Time Remap" when it plays at another speed or
/// backwards, then "Audio Pan" for an audio item.
void WriteFilters(const FCClipItemBase& item, FCXmlDocument& writer, XmlElement clipItem);

/// The Time Remap speed in percent, `denominator` × 100 ÷ `numerator`, with five decimals.
/// A numerator of 0 (a freeze) gives "0.00000".
std::string SpeedPercentText(int32_t numerator, int32_t denominator);
