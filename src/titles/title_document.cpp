#include "titles/title_document.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <utility>

#include <pugixml.hpp>

#include "model/log.h"
#include "platform/files.h"
#include "titles/title_search.h"
#include "titles/xml_decoding.h"
#include "titles/xml_query.h"
#include "titles/xml_well_formed.h"

namespace {

// The whole text of a title counts, white space included. pugixml reads the text only once a
// conforming parser has found it well-formed (pugixml accepts much that is not); it never reads
// a DTD nor resolves external entities: a reference to one stays literal text.
constexpr unsigned kTitleParseOptions = pugi::parse_default | pugi::parse_ws_pcdata;

bool LoadTitleDocument(const std::string& path, pugi::xml_document& document) {
    // Only a regular file can be a title document: a folder or a device given as a title's path
    // would make the loader ask for an absurd buffer, and a pipe would block it for ever.
    // Title documents are a few kilobytes: a much bigger file at a title's path is not one and is
    // not loaded whole.
    constexpr std::uint64_t kMaxTitleDocumentBytes = 64u << 20;
    tessel::platform::InputFile::Problem problem = tessel::platform::InputFile::Problem::kNone;
    tessel::platform::SystemError error;
    const std::unique_ptr<tessel::platform::InputFile> file =
        tessel::platform::InputFile::Open(path, kMaxTitleDocumentBytes, problem, error);
    if (!file) {
        return false;
    }
    // Decoded as the declaration says (EDIUS in Japan writes Shift_JIS), then judged whole.
    const std::span<const std::uint8_t> bytes = file->Bytes();
    std::string text;
    if (!DecodeXmlDocument(
            std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), text) ||
        !IsWellFormedXml(text)) {
        return false;
    }
    return document.load_buffer(text.data(), text.size(), kTitleParseOptions, pugi::encoding_utf8);
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

// Returns whether the document holds more than one text object (only the first is read).
bool ReadLoadedDocument(const pugi::xml_document& document, FCTitleInfo& title) {
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
    if (first) {
        ReadTextObject(first, title);
    }
    return count > 1;
}

// Reads the document at `path` into `title`; false when it does not load.
bool ReadAt(const std::string& path, FCTitleInfo& title, bool& severalTexts) {
    pugi::xml_document document;
    if (!LoadTitleDocument(path, document)) {
        return false;
    }
    severalTexts = ReadLoadedDocument(document, title);
    return true;
}

}  // namespace

bool ReadTitleDocumentAt(const std::string& path, FCTitleInfo& title) {
    TitleReading reading;
    reading.title = title;
    if (!ReadAt(path, reading.title, reading.severalTexts)) {
        return false;
    }
    reading.pathRead = path;
    LogTitleReading(reading);
    title = std::move(reading.title);
    return true;
}

std::string ReadTitleDocument(const std::string& path, FCTitleInfo& title) {
    TitleReading reading = ReadTitleDocumentQuietly(path, title);
    LogTitleReading(reading);
    title = std::move(reading.title);
    return reading.pathRead;
}

TitleReading ReadTitleDocumentQuietly(const std::string& path, const FCTitleInfo& start) {
    TitleReading reading;
    for (const std::string& candidate : TitleDocumentCandidates(path, GetTitleSearchFolders())) {
        reading.title = start;
        if (ReadAt(candidate, reading.title, reading.severalTexts)) {
            reading.pathRead = candidate;
            return reading;
        }
    }
    reading.title = start;
    return reading;
}

void LogTitleReading(const TitleReading& reading) {
    if (reading.severalTexts) {
        LogLine("Found more than one title text in " + reading.pathRead, kLogWarning);
    }
}
