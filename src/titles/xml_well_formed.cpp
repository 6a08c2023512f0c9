#include "titles/xml_well_formed.h"

#include <libxml/parser.h>

#include <climits>
#include <memory>

namespace {

// Quiet (the parser would print its messages), offline, and reading the text as the UTF-8 it
// is whatever the declaration says. Without XML_PARSE_NOENT or XML_PARSE_DTDLOAD neither an
// external entity nor an external DTD is loaded.
constexpr int kParseOptions =
    XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_IGNORE_ENC;

struct ContextDeleter {
    void operator()(xmlParserCtxt* context) const { xmlFreeParserCtxt(context); }
};
struct DocumentDeleter {
    void operator()(xmlDoc* document) const { xmlFreeDoc(document); }
};

}  // namespace

bool IsWellFormedXml(std::string_view utf8) {
    if (utf8.size() > static_cast<size_t>(INT_MAX)) {
        return false;
    }
    static const bool initialised = [] {
        xmlInitParser();
        return true;
    }();
    (void)initialised;
    const std::unique_ptr<xmlParserCtxt, ContextDeleter> context(xmlNewParserCtxt());
    if (!context) {
        return false;
    }
    const std::unique_ptr<xmlDoc, DocumentDeleter> document(
        xmlCtxtReadMemory(context.get(), utf8.data(), static_cast<int>(utf8.size()), nullptr,
                          "UTF-8", kParseOptions));
    return document != nullptr && context->wellFormed != 0;
}
