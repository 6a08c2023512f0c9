#pragma once

#include <string>

#include <pugixml.hpp>

#include "xmeml/xml_document.h"

class FCInterchange;
class PortableForm;
class FCSequence;
class FCTrackBase;

/// Writes the import options and every sequence of `interchange` under the root of a new
/// document, saving it to `outputPath` (atomically) as it goes; tells how the save ended.
/// `portable` (not owned) asks for the portable form; null writes the plain one.
SaveStatus WriteDocument(const FCInterchange& interchange, const std::string& outputPath,
                         PortableForm* portable = nullptr);

/// Appends the fixed "importoptions" to the root.
void WriteImportOptions(FCXmlDocument& writer, pugi::xml_node root);
/// Appends the sequence's "sequence" element to `parent` and writes every track into it.
void WriteSequence(const FCSequence& sequence, FCXmlDocument& writer, pugi::xml_node parent);
/// Appends the "track" element to the "video" or "audio" container under `media`.
void WriteTrack(const FCTrackBase& track, FCXmlDocument& writer, pugi::xml_node media);
