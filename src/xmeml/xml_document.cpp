#include "xmeml/xml_document.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <stdexcept>

#include "xmeml/atomic_file.h"
#include "xmeml/xml_text.h"

namespace {

// Bytes are handed to the sink in blocks of this size: few calls, little memory. Whole blocks at
// multiples of 2 MiB, as the fixture writer hands over, would leave the document in huge folios
// of the page cache; measured, that made the 1,000,000-clip conversion a second slower (copying
// into fresh huge folios), so the document is written as it comes.
constexpr size_t kBlockBytes = size_t{1} << 20;

// The references that stand for bytes of a text or an attribute value. Text keeps tab, line
// feed and carriage return as they are; an attribute value keeps none of them literally (a
// reader would normalise them to spaces).
std::string_view TextReference(char c) {
    switch (c) {
        case '&':
            return "&amp;";
        case '<':
            return "&lt;";
        case '>':
            return "&gt;";
        default:
            return {};
    }
}

std::string_view AttributeReference(char c) {
    switch (c) {
        case '&':
            return "&amp;";
        case '<':
            return "&lt;";
        case '"':
            return "&quot;";
        case '\t':
            return "&#09;";
        case '\n':
            return "&#10;";
        case '\r':
            return "&#13;";
        default:
            return {};
    }
}

// `text`, or what is left of it (in `storage`) once what XML 1.0 cannot carry is left out.
std::string_view XmlKept(std::string_view text, std::string& storage) {
    if (IsXmlText(text)) {
        return text;
    }
    storage = XmlText(text);
    return storage;
}

// Printable ASCII other than the three characters text escapes: written as it is, unchecked.
// Nearly every text of a document (numbers, names, most paths) is such a text.
constexpr std::array<bool, 256> kPlainBytes = [] {
    std::array<bool, 256> plain{};
    for (int byte = 0x20; byte <= 0x7E; ++byte) {
        plain[static_cast<size_t>(byte)] = byte != '&' && byte != '<' && byte != '>';
    }
    return plain;
}();

bool IsPlainText(std::string_view text) {
    for (const char c : text) {
        if (!kPlainBytes[static_cast<unsigned char>(c)]) {
            return false;
        }
    }
    return true;
}

// Copies `piece` to `out` and returns the end. Markup comes in short pieces (names, numbers):
// those are copied with a few fixed-size moves instead of a call.
char* CopyPiece(char* out, std::string_view piece) {
    const size_t size = piece.size();
    const char* from = piece.data();
    if (size >= 8 && size <= 16) {
        std::memcpy(out, from, 8);
        std::memcpy(out + size - 8, from + size - 8, 8);
    } else if (size >= 4 && size < 8) {
        std::memcpy(out, from, 4);
        std::memcpy(out + size - 4, from + size - 4, 4);
    } else {
        std::memcpy(out, from, size);
    }
    return out + size;
}

}  // namespace

FCXmlDocument::FCXmlDocument() = default;

FCXmlDocument::~FCXmlDocument() = default;

bool FCXmlDocument::Create() {
    if (sink_ != nullptr) {
        return false;  // part of it is in a file already
    }
    used_ = 0;
    openSerials_.clear();
    startTagOpen_ = false;
    finished_ = false;
    root_ = XmlElement();
    return AddDeclaration() && CreateRoot("xmeml", "") && SetAttribute(root_, "version", "4");
}

bool FCXmlDocument::AddDeclaration() {
    if (root_ || finished_) {
        return false;
    }
    Put("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
    return true;
}

bool FCXmlDocument::CreateRoot(std::string_view name, std::string_view text) {
    if (root_ || finished_) {
        return false;
    }
    Put("<");
    Put(name);
    openNames_.resize(1);
    openNames_[0] = name;
    openSerials_.push_back(nextSerial_);
    root_ = XmlElement(1, nextSerial_++);
    startTagOpen_ = true;
    if (!text.empty()) {
        SetText(root_, text);
    }
    return true;
}

void FCXmlDocument::Finish() {
    if (finished_) {
        return;
    }
    while (!openSerials_.empty()) {
        CloseInnermost();
    }
    if (root_) {
        Put("\n");
    }
    finished_ = true;
    Flush();
}

std::string FCXmlDocument::ToString() {
    Finish();
    return buffer_.substr(0, used_);
}

SaveStatus FCXmlDocument::Save(const std::string& path) {
    Finish();
    return WriteFileAtomically(
        path, [this](ByteSink& file) { file.Write(std::string_view(buffer_).substr(0, used_)); });
}

SaveStatus FCXmlDocument::SaveWhileBuilding(const std::string& path,
                                            const std::function<void()>& build) {
    if (sink_ != nullptr) {
        build();
        return {};
    }
    return WriteFileAtomically(path, [&](ByteSink& file) {
        // Cleared on every way out, an exception from `build` included.
        struct Detach {
            FCXmlDocument& xml;
            ~Detach() { xml.sink_ = nullptr; }
        } detach{*this};
        sink_ = &file;
        Flush();
        build();
        Finish();
    });
}

void FCXmlDocument::OpenInside(XmlElement parent) {
    const size_t depth = parent.depth_;
    if (finished_ || depth == 0 || depth > openSerials_.size() ||
        openSerials_[depth - 1] != parent.serial_) {
        throw std::logic_error("FCXmlDocument: an element was added to one already written");
    }
    while (openSerials_.size() > depth) {
        CloseInnermost();
    }
    CloseStartTag();
}

XmlElement FCXmlDocument::StartElement(XmlElement parent, std::string_view name) {
    OpenInside(parent);
    Put("<");
    Put(name);
    const size_t depth = openSerials_.size();
    if (openNames_.size() <= depth) {
        openNames_.resize(depth + 1);
    }
    openNames_[depth] = name;
    openSerials_.push_back(nextSerial_);
    startTagOpen_ = true;
    return XmlElement(static_cast<uint32_t>(depth + 1), nextSerial_++);
}

void FCXmlDocument::CloseStartTag() {
    if (startTagOpen_) {
        Put(">");
        startTagOpen_ = false;
    }
}

void FCXmlDocument::CloseInnermost() {
    if (startTagOpen_) {
        Put("/>");
        startTagOpen_ = false;
    } else {
        const std::string_view name = openNames_[openSerials_.size() - 1];
        const size_t bytes = name.size() + 3;
        if (bytes > buffer_.size() - used_) {
            MakeRoom(bytes);
        }
        char* out = buffer_.data() + used_;
        *out++ = '<';
        *out++ = '/';
        out = CopyPiece(out, name);
        *out++ = '>';
        used_ = static_cast<size_t>(out - buffer_.data());
    }
    openSerials_.pop_back();
}

XmlElement FCXmlDocument::AddElement(XmlElement parent, std::string_view name) {
    return StartElement(parent, name);
}

XmlElement FCXmlDocument::AddTextElement(XmlElement parent, std::string_view name,
                                         std::string_view text) {
    OpenInside(parent);
    if (IsPlainText(text)) {
        PutLeaf(name, text);
    } else {
        std::string storage;
        text = XmlKept(text, storage);
        Put("<");
        Put(name);
        if (text.empty()) {
            Put("/>");
        } else {
            Put(">");
            WriteEscaped(text, TextReference);
            Put("</");
            Put(name);
            Put(">");
        }
    }
    // Already closed: the handle names it, but nothing more goes into it.
    return XmlElement(static_cast<uint32_t>(openSerials_.size() + 1), nextSerial_++);
}

XmlElement FCXmlDocument::AddIntegerElement(XmlElement parent, std::string_view name,
                                            int64_t value) {
    OpenInside(parent);
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    PutLeaf(name, std::string_view(digits, static_cast<size_t>(end - digits)));
    return XmlElement(static_cast<uint32_t>(openSerials_.size() + 1), nextSerial_++);
}

void FCXmlDocument::PutLeaf(std::string_view name, std::string_view text) {
    const size_t bytes = 2 * name.size() + text.size() + 5;
    if (bytes > buffer_.size() - used_) {
        MakeRoom(bytes);
    }
    char* out = buffer_.data() + used_;
    *out++ = '<';
    out = CopyPiece(out, name);
    if (text.empty()) {
        *out++ = '/';
        *out++ = '>';
    } else {
        *out++ = '>';
        out = CopyPiece(out, text);
        *out++ = '<';
        *out++ = '/';
        out = CopyPiece(out, name);
        *out++ = '>';
    }
    used_ = static_cast<size_t>(out - buffer_.data());
}

XmlElement FCXmlDocument::AddParameter(XmlElement parent, std::string_view parameterId,
                                       std::string_view name, std::string_view value) {
    const XmlElement parameter = AddElement(parent, "parameter");
    AddTextElement(parameter, "name", name);
    AddTextElement(parameter, "parameterid", parameterId);
    AddTextElement(parameter, "value", value);
    return parameter;
}

bool FCXmlDocument::IsInnermostWithoutContent(XmlElement element) const {
    return startTagOpen_ && element && element.depth_ == openSerials_.size() &&
           openSerials_.back() == element.serial_;
}

bool FCXmlDocument::SetAttribute(XmlElement element, std::string_view name,
                                 std::string_view value) {
    if (!IsInnermostWithoutContent(element)) {
        return false;
    }
    Put(" ");
    Put(name);
    Put("=\"");
    std::string storage;
    WriteEscaped(XmlKept(value, storage), AttributeReference);
    Put("\"");
    return true;
}

bool FCXmlDocument::SetText(XmlElement element, std::string_view text) {
    if (!IsInnermostWithoutContent(element)) {
        return false;
    }
    std::string storage;
    text = XmlKept(text, storage);
    // An empty text leaves the element without content ("<name/>").
    if (text.empty()) {
        return true;
    }
    CloseStartTag();
    WriteEscaped(text, TextReference);
    return true;
}

void FCXmlDocument::WriteEscaped(std::string_view text, std::string_view (*reference)(char)) {
    size_t plain = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        // Every character either kind of reference replaces lies at or below '>': letters and
        // UTF-8 bytes go by without asking.
        if (static_cast<unsigned char>(text[i]) > '>') {
            continue;
        }
        const std::string_view escaped = reference(text[i]);
        if (!escaped.empty()) {
            Put(text.substr(plain, i - plain));
            Put(escaped);
            plain = i + 1;
        }
    }
    Put(text.substr(plain));
}

void FCXmlDocument::MakeRoom(size_t bytes) {
    if (sink_ != nullptr && used_ >= kBlockBytes) {
        Flush();
    }
    if (bytes > buffer_.size() - used_) {
        // Room for a whole block and the piece, so that a sink gets blocks of kBlockBytes or more.
        buffer_.resize(std::max({2 * buffer_.size(), used_ + bytes, kBlockBytes + bytes}));
    }
}

void FCXmlDocument::Flush() {
    if (sink_ != nullptr && used_ != 0) {
        sink_->Write(std::string_view(buffer_).substr(0, used_));
        used_ = 0;
    }
}
