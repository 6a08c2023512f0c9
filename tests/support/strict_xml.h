#pragma once

// A conforming XML 1.0 parser's verdict on a written document (libxml2). pugixml accepts
// documents that no importer reads (control characters as character references, undecoded
// legacy bytes), so tests and fuzz targets check what they write here as well.

#include <string>
#include <string_view>

namespace tessel::test {

/// Empty when the file at `path` is a well-formed XML 1.0 document; otherwise the parser's
/// messages (the first few), each with its line.
std::string StrictXmlErrors(const std::string& path);

/// As `StrictXmlErrors`, for a document held in memory.
std::string StrictXmlErrorsInText(std::string_view document);

/// Empty when the file at `path` is well-formed and valid against the DTD at `dtdPath`;
/// otherwise the messages. The document's own DOCTYPE, if any, is not loaded.
std::string DtdErrors(const std::string& path, const std::string& dtdPath);

}  // namespace tessel::test
