#include "titles/title_document.h"

#include <cstdint>
#include <filesystem>
#include <pugixml.hpp>
#include <system_error>

#include "job/log.h"
#include "titles/title_search.h"
#include "xmeml/xml_document.h"

namespace {

// The whole text of a title counts, white space included; pugixml detects the encoding
// (UTF-8, UTF-16 or UTF-32, with or without a byte-order mark). pugixml never reads a DTD nor
// resolves external entities: a reference to one stays literal text.
constexpr unsigned kTitleParseOptions = pugi::parse_default | pugi::parse_ws_pcdata;

// Title documents are a few kilobytes; a bigger file at a title's path is not one, and is not
// loaded whole.
constexpr std::uintmax_t kMaxTitleDocumentBytes = 64u << 20;

/// Why a title document did not load; `found` is false when nothing is at the path.
struct LoadFailure {
    bool found = false;
    std::string reason;
};

// Only regular files are opened: a named pipe would make the load wait for a writer, and a
// device or folder is no document.
bool LoadTitleDocument(const std::string& path, pugi::xml_document& document,
                       LoadFailure& failure) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (error || !std::filesystem::exists(status)) {
        failure = {false, error ? error.message() : "not found"};
        return false;
    }
    failure.found = true;
    if (!std::filesystem::is_regular_file(status)) {
        failure.reason = "not a file";
        return false;
    }
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (!error && size > kMaxTitleDocumentBytes) {
        failure.reason = "larger than a title document can be (" + std::to_string(size) + " bytes)";
        return false;
    }
    const pugi::xml_parse_result result =
        document.load_file(path.c_str(), kTitleParseOptions, pugi::encoding_auto);
    if (!result) {
        failure.reason =
            result.status == pugi::status_file_not_found
                ? "it cannot be opened"
                : std::string(result.description()) + " at offset " + std::to_string(result.offset);
        return false;
    }
    return true;
}

void ReadTextObject(pugi::xml_node textObject, FCTitleInfo& title) {
    title.text = GetTextAt(textObject, "CCtsTitleObject/m_sText");
    title.fontName = GetTextAt(textObject, "CCtsTitleObject/m_sFontName");
    title.fontSize = GetTextAt(textObject, "CCtsTitleObject/TitleFont/iSize");
    title.bold = GetTextAt(textObject, "CCtsTitleObject/TitleFont/bBold");
    title.italic = GetTextAt(textObject, "CCtsTitleObject/TitleFont/bItalic");
    title.underline = GetTextAt(textObject, "CCtsTitleObject/TitleFont/bUnderline");
    title.vertical = GetTextAt(textObject, "CCtsTitleObject/TitleFont/bVertical");
}

// Returns whether the document held a text object.
bool ReadLoadedDocument(const pugi::xml_document& document, const std::string& path,
                        FCTitleInfo& title) {
    const pugi::xml_node list = SelectElement(document, "TitleDocument/m_TitleObList");
    if (!list) {
        return false;
    }
    pugi::xml_node first;
    int count = 0;
    for (pugi::xml_node textObject : list.children("CCtsTextObject")) {
        if (count++ == 0) {
            first = textObject;
        }
    }
    if (count > 1) {
        LogLine("Found more than one title text in " + path, kLogWarning);
    }
    if (first) {
        ReadTextObject(first, title);
    }
    return count > 0;
}

const char* const kKeepsDefaults = "; the title is written with its default text.";

}  // namespace

bool ReadTitleDocumentAt(const std::string& path, FCTitleInfo& title) {
    pugi::xml_document document;
    LoadFailure failure;
    if (!LoadTitleDocument(path, document, failure)) {
        return false;
    }
    ReadLoadedDocument(document, path, title);
    return true;
}

// A title that keeps its default text is reported (as a warning): the user sees which title
// lost its text and why, where the original stayed silent.
std::string ReadTitleDocument(const std::string& path, FCTitleInfo& title) {
    LoadFailure firstFound;
    for (const std::string& candidate : TitleDocumentCandidates(path, GetTitleSearchFolders())) {
        pugi::xml_document document;
        LoadFailure failure;
        if (LoadTitleDocument(candidate, document, failure)) {
            if (!ReadLoadedDocument(document, candidate, title)) {
                LogLine("Title document " + candidate + " holds no title text" + kKeepsDefaults,
                        kLogWarning);
            }
            return candidate;
        }
        if (failure.found && !firstFound.found) {
            firstFound = failure;
            firstFound.reason = candidate + " cannot be read: " + failure.reason;
        }
    }
    LogLine("Title document " + (firstFound.found ? firstFound.reason : path + " not found") +
                kKeepsDefaults,
            kLogWarning);
    return {};
}
