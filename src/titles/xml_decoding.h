#pragma once

#include <string>
#include <string_view>

/// Decodes the bytes of an XML document to UTF-8 as a conforming XML 1.0 parser reads them:
/// the encoding comes from the byte-order mark, else from the encoding declaration, else the
/// document is UTF-8 (or UTF-16/32 recognised by its first characters). Appends the text
/// without a byte-order mark to `utf8`. False when the encoding is unknown, when the mark and
/// the declaration disagree, or when the bytes are not valid in the encoding. UTF-8 input is
/// passed on unchecked: the parser that reads the text checks it.
bool DecodeXmlDocument(std::string_view bytes, std::string& utf8);
