#pragma once

#include <cstdint>
#include <string_view>

#include "xmeml/xml_document.h"

class FCClipItemBase;

/// Appends the cross dissolve that follows `item` to the track element, right after the item's
/// "clipitem"; returns it, or an empty handle when no transition follows.
XmlElement WriteTransitionItem(const FCClipItemBase& item, FCXmlDocument& writer,
                               XmlElement trackElement);

/// "start" for a cut point of 0, "end" for a cut point at the transition's end, else "center".
std::string_view TransitionAlignment(int64_t cutPoint, int64_t transitionLength);
