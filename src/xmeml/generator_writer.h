#pragma once

#include <pugixml.hpp>

class FCTitleInfo;
class FCVideoClipItem;
class FCXmlDocument;

/// Appends the "generatoritem" of a title clip to the track element and returns it.
pugi::xml_node WriteGeneratorItem(const FCVideoClipItem& item, FCXmlDocument& writer,
                                  pugi::xml_node trackElement);
/// Fills a generator's "effect" with the "Text" generator and the title's text and font.
void WriteTextGenerator(FCXmlDocument& writer, pugi::xml_node effect, const FCTitleInfo& title);
