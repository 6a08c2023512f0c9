#pragma once

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class PortableForm;

/// How a save ended: `ok`, or a message that names the file and says what failed and why.
struct SaveStatus {
    bool ok = true;
    std::string message;
};

/// Where the bytes of a document go while it is saved.
class ByteSink {
  public:
    virtual ~ByteSink() = default;
    virtual void Write(std::string_view bytes) = 0;
};

/// An element of the document being written, as long as it is open. An element is open from
/// its start until an element is added outside it (to its parent or further out); adding to an
/// element that is no longer open throws std::logic_error, so that nothing lands out of place.
class XmlElement {
  public:
    XmlElement() = default;
    explicit operator bool() const { return depth_ != 0; }
    bool operator==(const XmlElement&) const = default;

  private:
    friend class FCXmlDocument;
    XmlElement(uint32_t depth, uint64_t serial) : depth_(depth), serial_(serial) {}
    uint32_t depth_ = 0;   // 1 for the root
    uint64_t serial_ = 0;  // tells this element from earlier ones at the same depth
};

/// The interchange document, written front to back as it is built: a stack of open elements,
/// no tree. Text goes out escaped for XML 1.0 ("&", "<", ">" and control characters as
/// references). Until a save streams it to a file, the text collects in the document.
class FCXmlDocument {
  public:
    /// Set while the portable form is written (not owned); null for the plain form.
    PortableForm* portable = nullptr;

    FCXmlDocument();
    ~FCXmlDocument();
    FCXmlDocument(const FCXmlDocument&) = delete;
    FCXmlDocument& operator=(const FCXmlDocument&) = delete;

    /// Starts the document afresh with the skeleton: the declaration and the root "xmeml" with
    /// version "4".
    bool Create();
    bool AddDeclaration();
    /// Starts the root element; `text` is written only when not empty. Once per document.
    bool CreateRoot(std::string_view name, std::string_view text);
    XmlElement GetRoot() const { return root_; }

    /// Finishes the document (see `ToString`) and writes it to `path` atomically: the target is
    /// replaced only by a complete file.
    SaveStatus Save(const std::string& path);
    /// Saves as `Save` does while `build` writes the document: what is written before and during
    /// `build` goes to the file through a buffer, and the document is finished when `build`
    /// returns. The file holds the same bytes as a `Save` after `build` would write.
    SaveStatus SaveWhileBuilding(const std::string& path, const std::function<void()>& build);
    /// Closes every open element (the root last) and ends the document with a line break, then
    /// returns the text collected (all of it, when nothing was saved while building). Nothing
    /// can be added afterwards.
    std::string ToString();

    XmlElement AddElement(XmlElement parent, std::string_view name);
    /// Appends a leaf element, written at once: nothing can be added to it. An empty text gives
    /// an element without content.
    XmlElement AddTextElement(XmlElement parent, std::string_view name, std::string_view text);
    /// Appends a leaf element whose text is `value` in decimal.
    XmlElement AddIntegerElement(XmlElement parent, std::string_view name, int64_t value);
    /// Appends "parameter" holding "name", "parameterid" and "value", in that order (note the
    /// argument order: the id comes before the name); returns the "parameter" element.
    XmlElement AddParameter(XmlElement parent, std::string_view parameterId, std::string_view name,
                            std::string_view value);
    /// Adds an attribute to an element that has no content yet (its start tag is still open);
    /// false otherwise.
    bool SetAttribute(XmlElement element, std::string_view name, std::string_view value);
    /// Gives an element that has no content yet its text; false when it already has content.
    bool SetText(XmlElement element, std::string_view text);

    /// Appends "ntsc" and "timebase" for an edit rate (both empty for a rate not in the table).
    void WriteRate(XmlElement parent, int32_t numerator, int32_t denominator);
    /// Appends "frame", "displayformat" and "rate" ("ntsc", "timebase") of a start timecode.
    void WriteTimecode(XmlElement parent, int32_t timebase, int32_t ntscFlag, int64_t frame);

  private:
    /// Closes the open elements inside `parent`, which must be open; throws otherwise.
    void OpenInside(XmlElement parent);
    XmlElement StartElement(XmlElement parent, std::string_view name);
    bool IsInnermostWithoutContent(XmlElement element) const;
    void CloseStartTag();
    void CloseInnermost();
    void WriteEscaped(std::string_view text, std::string_view (*reference)(char));
    void Finish();
    /// Appends to the buffer; called for every piece of markup, so the common case is a copy.
    void Put(std::string_view bytes) {
        if (bytes.size() > buffer_.size() - used_) {
            MakeRoom(bytes.size());
        }
        std::memcpy(buffer_.data() + used_, bytes.data(), bytes.size());
        used_ += bytes.size();
    }
    /// Writes a whole leaf element "<name>text</name>" (or "<name/>") of a text that needs no
    /// escaping.
    void PutLeaf(std::string_view name, std::string_view text);
    /// Hands a full block to the sink, or grows the buffer while no sink takes it.
    void MakeRoom(size_t bytes);
    void Flush();

    // While a save streams the document: where the text goes.
    ByteSink* sink_ = nullptr;
    // The text not yet handed to the sink is the first `used_` bytes.
    std::string buffer_;
    size_t used_ = 0;
    // The open elements, outermost first: their names (strings are kept for reuse beyond
    // `openSerials_.size()`) and serials.
    std::vector<std::string> openNames_;
    std::vector<uint64_t> openSerials_;
    uint64_t nextSerial_ = 1;
    // The innermost element's start tag lacks its ">" (attributes may still follow).
    bool startTagOpen_ = false;
    bool finished_ = false;
    XmlElement root_;
};
