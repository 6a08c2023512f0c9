#include "xmeml/xml_document.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>
#include <string>
#include <unordered_map>

#include "xmeml/atomic_file.h"
#include "xmeml/xml_text.h"

namespace {

// The declaration and the root each stand on a line of their own (a text file ends with a line
// break); inside the root there is no whitespace at all.
constexpr unsigned kRootFormat = pugi::format_raw;

class StringWriter : public pugi::xml_writer {
  public:
    explicit StringWriter(std::string& out) : out_(out) {}
    void write(const void* data, size_t size) override {
        out_.append(static_cast<const char*>(data), size);
    }

  private:
    std::string& out_;
};

// Hands pugixml's many small pieces on in blocks (a save while building prints one clip item at
// a time, and each print ends with a write of its own).
class BlockWriter : public pugi::xml_writer {
  public:
    explicit BlockWriter(pugi::xml_writer& out) : out_(out) { block_.reserve(kBlockSize); }
    void write(const void* data, size_t size) override {
        block_.append(static_cast<const char*>(data), size);
        if (block_.size() >= kBlockSize) {
            Flush();
        }
    }
    void Flush() {
        out_.write(block_.data(), block_.size());
        block_.clear();
    }

  private:
    static constexpr size_t kBlockSize = 1 << 16;
    pugi::xml_writer& out_;
    std::string block_;
};

// pugixml prints whole nodes only. The start tag of an element that is written before it is
// complete is taken from the print of an empty copy of it (attributes escaped by pugixml):
// everything before the copy's end tag.
void WriteStartTag(pugi::xml_node element, pugi::xml_writer& out) {
    pugi::xml_document scratch;
    pugi::xml_node copy = scratch.append_child(element.name());
    for (pugi::xml_attribute attribute : element.attributes()) {
        copy.append_copy(attribute);
    }
    copy.append_child(pugi::node_pcdata);  // so that the copy prints as a start and an end tag
    std::string text;
    StringWriter writer(text);
    copy.print(writer, "", kRootFormat, pugi::encoding_utf8);
    out.write(text.data(), text.size() - std::string_view(element.name()).size() - 3);
}

void WriteDocument(const pugi::xml_document& document, pugi::xml_writer& writer) {
    for (pugi::xml_node child = document.first_child(); child; child = child.next_sibling()) {
        child.print(writer, "", kRootFormat, pugi::encoding_utf8);
        writer.write("\n", 1);
    }
}

// Runs `set` with `text`, or with what is left of it once the characters that XML 1.0 cannot
// carry are left out: pugixml would write those as character references that no parser accepts.
template <typename Set>
bool WithXmlText(std::string_view text, Set set) {
    if (IsXmlText(text)) {
        return set(text);
    }
    const std::string kept = XmlText(text);
    return set(std::string_view(kept));
}

}  // namespace

bool FCXmlDocument::Create() {
    document.reset();
    root = pugi::xml_node();
    if (!AddDeclaration()) {
        return false;
    }
    if (!CreateRoot("xmeml", "")) {
        return false;
    }
    return SetAttribute(root, "version", "4");
}

bool FCXmlDocument::AddDeclaration() {
    pugi::xml_node declaration = document.append_child(pugi::node_declaration);
    if (!declaration) {
        return false;
    }
    declaration.append_attribute("version").set_value("1.0");
    declaration.append_attribute("encoding").set_value("UTF-8");
    return true;
}

bool FCXmlDocument::CreateRoot(const char* name, std::string_view text) {
    pugi::xml_node element = document.append_child(name);
    if (!element) {
        return false;
    }
    if (root) {
        document.remove_child(root);
    }
    root = element;
    if (!text.empty()) {
        SetText(root, text);
    }
    return true;
}

std::string FCXmlDocument::ToString() const {
    std::string out;
    StringWriter writer(out);
    WriteDocument(document, writer);
    return out;
}

SaveStatus FCXmlDocument::Save(const std::string& path) const {
    return WriteFileAtomically(
        path, [this](pugi::xml_writer& writer) { WriteDocument(document, writer); });
}

SaveStatus FCXmlDocument::SaveWhileBuilding(const std::string& path,
                                            const std::function<void()>& build) {
    if (!root || output_ != nullptr) {
        build();
        return Save(path);
    }
    return WriteFileAtomically(path, [&](pugi::xml_writer& file) {
        BlockWriter out(file);
        // Cleared on every way out, an exception from `build` included.
        struct Stop {
            FCXmlDocument& xml;
            ~Stop() {
                xml.output_ = nullptr;
                xml.open_.clear();
            }
        } stop{*this};
        output_ = &out;
        // The skeleton stays in the document; what the root holds is written as it is finished.
        pugi::xml_node child = document.first_child();
        for (; child != root; child = child.next_sibling()) {
            child.print(out, "", kRootFormat, pugi::encoding_utf8);
            out.write("\n", 1);
        }
        build();
        if (open_.empty()) {
            root.print(out, "", kRootFormat, pugi::encoding_utf8);
            while (pugi::xml_node inside = root.first_child()) {
                root.remove_child(inside);
            }
        }
        while (!open_.empty()) {
            CloseInnermost();
        }
        out.write("\n", 1);
        for (child = root.next_sibling(); child; child = child.next_sibling()) {
            child.print(out, "", kRootFormat, pugi::encoding_utf8);
            out.write("\n", 1);
        }
        out.Flush();
    });
}

void FCXmlDocument::AppendFinished(pugi::xml_node parent, pugi::xml_node holder) {
    if (output_ == nullptr || !OpenPathTo(parent)) {
        for (pugi::xml_node child : holder.children()) {
            parent.append_copy(child);
        }
        return;
    }
    WriteChildrenBefore(parent, pugi::xml_node());
    for (pugi::xml_node child : holder.children()) {
        child.print(*output_, "", kRootFormat, pugi::encoding_utf8);
    }
}

bool FCXmlDocument::OpenPathTo(pugi::xml_node element) {
    // The elements from the root down to `element`.
    std::vector<pugi::xml_node> path;
    pugi::xml_node up = element;
    for (; up && up != root; up = up.parent()) {
        path.push_back(up);
    }
    if (up != root) {
        return false;  // not inside the root
    }
    path.push_back(root);
    std::reverse(path.begin(), path.end());
    // Open elements off that path lie before it: they are finished.
    size_t common = 0;
    while (common < path.size() && common < open_.size() && open_[common] == path[common]) {
        ++common;
    }
    while (open_.size() > common) {
        CloseInnermost();
    }
    for (size_t i = common; i < path.size(); ++i) {
        if (i > 0) {
            WriteChildrenBefore(path[i - 1], path[i]);
        }
        WriteStartTag(path[i], *output_);
        open_.push_back(path[i]);
    }
    return true;
}

void FCXmlDocument::WriteChildrenBefore(pugi::xml_node parent, pugi::xml_node child) {
    while (parent.first_child() != child) {
        WriteNode(parent.first_child());
    }
}

// Writes a finished node and removes it from the tree.
void FCXmlDocument::WriteNode(pugi::xml_node node) {
    node.print(*output_, "", kRootFormat, pugi::encoding_utf8);
    node.parent().remove_child(node);
}

// Writes the rest of the innermost open element and removes it (the root stays, empty).
void FCXmlDocument::CloseInnermost() {
    const pugi::xml_node element = open_.back();
    while (pugi::xml_node child = element.first_child()) {
        WriteNode(child);
    }
    const std::string endTag = std::string("</") + element.name() + '>';
    output_->write(endTag.data(), endTag.size());
    open_.pop_back();
    if (element != root) {
        element.parent().remove_child(element);
    }
}

pugi::xml_node FCXmlDocument::AddElement(pugi::xml_node parent, const char* name) {
    return parent.append_child(name);
}

pugi::xml_node FCXmlDocument::AddTextElement(pugi::xml_node parent, const char* name,
                                             std::string_view text) {
    pugi::xml_node element = parent.append_child(name);
    WithXmlText(text, [&](std::string_view kept) {
        return kept.empty() ||
               element.append_child(pugi::node_pcdata).set_value(kept.data(), kept.size());
    });
    return element;
}

pugi::xml_node FCXmlDocument::AddIntegerElement(pugi::xml_node parent, const char* name,
                                                int64_t value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    return AddTextElement(parent, name,
                          std::string_view(digits, static_cast<size_t>(end - digits)));
}

pugi::xml_node FCXmlDocument::AddParameter(pugi::xml_node parent, std::string_view parameterId,
                                           std::string_view name, std::string_view value) {
    pugi::xml_node parameter = AddElement(parent, "parameter");
    AddTextElement(parameter, "name", name);
    AddTextElement(parameter, "parameterid", parameterId);
    AddTextElement(parameter, "value", value);
    return parameter;
}

bool SetAttribute(pugi::xml_node element, const char* name, std::string_view value) {
    pugi::xml_attribute attribute = element.attribute(name);
    if (!attribute) {
        attribute = element.append_attribute(name);
    }
    return attribute && WithXmlText(value, [&](std::string_view kept) {
               return attribute.set_value(kept.data(), kept.size());
           });
}

bool SetText(pugi::xml_node node, std::string_view text) {
    if (!node || node.type() != pugi::node_element) {
        return false;
    }
    while (pugi::xml_node child = node.first_child()) {
        node.remove_child(child);
    }
    return WithXmlText(text, [&](std::string_view kept) {
        return kept.empty() ||
               node.append_child(pugi::node_pcdata).set_value(kept.data(), kept.size());
    });
}
