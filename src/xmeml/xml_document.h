#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include <pugixml.hpp>

#include "titles/xml_query.h"

class PortableForm;

/// How a save ended: `ok`, or a message that names the file and says what failed and why.
struct SaveStatus {
    bool ok = true;
    std::string message;
};

/// The interchange document being written: a pugixml document and its root "xmeml".
/// Elements are `pugi::xml_node` handles owned by `document`.
class FCXmlDocument {
  public:
    pugi::xml_document document;
    pugi::xml_node root;
    /// Set while the portable form is written (not owned); null for the plain form.
    PortableForm* portable = nullptr;

    /// Creates the skeleton: the declaration and the root "xmeml" with version "4".
    bool Create();
    bool AddDeclaration();
    /// Creates the root element (replacing any earlier one); `text` is set only when not empty.
    bool CreateRoot(const char* name, std::string_view text);
    pugi::xml_node GetRoot() const { return root; }

    /// Writes the document to `path` atomically: the target is replaced only by a complete file.
    SaveStatus Save(const std::string& path) const;
    /// Writes the document as `Save` does, to a string (for tests and previews).
    std::string ToString() const;

    /// Saves as `Save` does while `build` fills the document: what `build` hands to
    /// `AppendFinished` goes to the file at once, so that a long timeline is never held in
    /// memory whole. The file holds the same bytes as a `Save` after `build` would write.
    /// Afterwards only the skeleton (declaration and empty root) is left.
    SaveStatus SaveWhileBuilding(const std::string& path, const std::function<void()>& build);

    /// Appends to `parent` copies of the children of `holder`, an element of another document
    /// that holds finished elements only. While `SaveWhileBuilding` runs they go to the file
    /// instead, and with them everything before them in document order, which is then finished:
    /// nothing more is added to it or inside it (elements that enclose `parent` may still grow).
    /// A clip item built in a small document of its own is printed from there, and that
    /// document is emptied in one step, instead of this tree growing and shrinking node by node.
    void AppendFinished(pugi::xml_node parent, pugi::xml_node holder);

    pugi::xml_node AddElement(pugi::xml_node parent, const char* name);
    /// Appends a leaf element; an empty text gives an element without content.
    pugi::xml_node AddTextElement(pugi::xml_node parent, const char* name, std::string_view text);
    /// Appends a leaf element whose text is `value` in decimal.
    pugi::xml_node AddIntegerElement(pugi::xml_node parent, const char* name, int64_t value);
    /// Appends "parameter" holding "name", "parameterid" and "value", in that order (note the
    /// argument order: the id comes before the name); returns the "parameter" element.
    pugi::xml_node AddParameter(pugi::xml_node parent, std::string_view parameterId,
                                std::string_view name, std::string_view value);

    /// Appends "ntsc" and "timebase" for an edit rate (both empty for a rate not in the table).
    void WriteRate(pugi::xml_node parent, int32_t numerator, int32_t denominator);
    /// Appends "frame", "displayformat" and "rate" ("ntsc", "timebase") of a start timecode.
    void WriteTimecode(pugi::xml_node parent, int32_t timebase, int32_t ntscFlag, int64_t frame);

  private:
    /// Writes the start tags of `element` and of the elements around it that are not yet
    /// written, closing the open elements off that path; false when `element` is not inside
    /// the root.
    bool OpenPathTo(pugi::xml_node element);
    void WriteChildrenBefore(pugi::xml_node parent, pugi::xml_node child);
    void WriteNode(pugi::xml_node node);
    void CloseInnermost();

    // While SaveWhileBuilding runs: where the text goes, and the elements whose start tags are
    // written but not yet their end tags, outermost (the root) first.
    pugi::xml_writer* output_ = nullptr;
    std::vector<pugi::xml_node> open_;
};

bool SetAttribute(pugi::xml_node element, const char* name, std::string_view value);
/// Replaces the node's content by `text` (no content at all for an empty text).
bool SetText(pugi::xml_node node, std::string_view text);
