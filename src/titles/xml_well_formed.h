#pragma once

#include <string_view>

/// Whether `utf8`, a document's text in UTF-8 (as `DecodeXmlDocument` gives it), is a
/// well-formed XML 1.0 document, judged by a conforming parser (libxml2). The encoding the
/// declaration names is ignored: the text is decoded already. Nothing else is read: no DTD, no
/// external entity, nothing from the network.
bool IsWellFormedXml(std::string_view utf8);
