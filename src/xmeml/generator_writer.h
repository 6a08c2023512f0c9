#pragma once

#include "xmeml/xml_document.h"

class FCTitleInfo;
class FCVideoClipItem;

/// Appends the "generatoritem" of a title clip to the track element and returns it.
XmlElement WriteGeneratorItem(const FCVideoClipItem& item, FCXmlDocument& writer,
                              XmlElement trackElement);
/// Fills a generator's "effect" with the "Text" generator and the title's text and font.
void WriteTextGenerator(FCXmlDocument& writer, XmlElement effect, const FCTitleInfo& title);
