#include "strict_xml.h"

#include <libxml/parser.h>
#include <libxml/valid.h>
#include <libxml/xmlerror.h>

#include <memory>

namespace tessel::test {

namespace {

// Nothing from the network or from other files; big documents (100,000 clips) allowed.
constexpr int kParseOptions = XML_PARSE_NONET | XML_PARSE_HUGE | XML_PARSE_NOWARNING;

// Collects the messages libxml2 raises on this thread while it lives.
class ErrorCollector {
  public:
    ErrorCollector() { xmlSetStructuredErrorFunc(this, &ErrorCollector::Take); }
    ~ErrorCollector() { xmlSetStructuredErrorFunc(nullptr, nullptr); }
    ErrorCollector(const ErrorCollector&) = delete;
    ErrorCollector& operator=(const ErrorCollector&) = delete;

    std::string text;

  private:
    static void Take(void* self, xmlErrorPtr error) {
        auto& collector = *static_cast<ErrorCollector*>(self);
        if (error == nullptr || error->level == XML_ERR_WARNING || ++collector.count_ > 5) {
            return;
        }
        collector.text += "line " + std::to_string(error->line) + ": " +
                          (error->message != nullptr ? error->message : "(no message)");
    }
    int count_ = 0;
};

struct DocumentDeleter {
    void operator()(xmlDoc* document) const { xmlFreeDoc(document); }
};
using DocumentPtr = std::unique_ptr<xmlDoc, DocumentDeleter>;

struct ContextDeleter {
    void operator()(xmlParserCtxt* context) const { xmlFreeParserCtxt(context); }
};

// Parses strictly; `errors` gets the messages, and the document is null unless well-formed.
template <typename Read>
DocumentPtr Parse(ErrorCollector& errors, Read read) {
    xmlInitParser();
    const std::unique_ptr<xmlParserCtxt, ContextDeleter> context(xmlNewParserCtxt());
    if (!context) {
        errors.text += "no parser context";
        return nullptr;
    }
    DocumentPtr document(read(context.get()));
    if (!document || context->wellFormed == 0) {
        if (errors.text.empty()) {
            errors.text = "not well-formed";
        }
        return nullptr;
    }
    return document;
}

}  // namespace

std::string StrictXmlErrors(const std::string& path) {
    ErrorCollector errors;
    Parse(errors, [&](xmlParserCtxt* context) {
        return xmlCtxtReadFile(context, path.c_str(), nullptr, kParseOptions);
    });
    return errors.text;
}

std::string StrictXmlErrorsInText(std::string_view document) {
    ErrorCollector errors;
    Parse(errors, [&](xmlParserCtxt* context) {
        return xmlCtxtReadMemory(context, document.data(), static_cast<int>(document.size()),
                                 "document.xml", nullptr, kParseOptions);
    });
    return errors.text;
}

std::string DtdErrors(const std::string& path, const std::string& dtdPath) {
    ErrorCollector errors;
    const DocumentPtr document = Parse(errors, [&](xmlParserCtxt* context) {
        return xmlCtxtReadFile(context, path.c_str(), nullptr, kParseOptions);
    });
    if (!document) {
        return errors.text;
    }
    const auto dtdName = reinterpret_cast<const xmlChar*>(dtdPath.c_str());
    const std::unique_ptr<xmlDtd, void (*)(xmlDtdPtr)> dtd(xmlParseDTD(nullptr, dtdName),
                                                           xmlFreeDtd);
    if (!dtd) {
        return "cannot read the DTD " + dtdPath + ": " + errors.text;
    }
    const std::unique_ptr<xmlValidCtxt, void (*)(xmlValidCtxtPtr)> validation(xmlNewValidCtxt(),
                                                                              xmlFreeValidCtxt);
    if (!validation || xmlValidateDtd(validation.get(), document.get(), dtd.get()) != 1) {
        return errors.text.empty() ? "not valid against " + dtdPath : errors.text;
    }
    return errors.text;
}

}  // namespace tessel::test
