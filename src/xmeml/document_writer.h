#pragma once

#include <string>

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
void WriteImportOptions(FCXmlDocument& writer, XmlElement root);
/// Appends the sequence's "sequence" element to `parent` and writes every track into it.
void WriteSequence(const FCSequence& sequence, FCXmlDocument& writer, XmlElement parent);
/// Appends the "track" element, with its items, to a "video" or "audio" `container`.
void WriteTrack(const FCTrackBase& track, FCXmlDocument& writer, XmlElement container);
