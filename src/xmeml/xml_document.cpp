#include "xmeml/xml_document.h"

#include <charconv>
#include <stdexcept>
#include <string>
#include <unordered_map>

#include "xmeml/atomic_file.h"

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

void WriteDocument(const pugi::xml_document& document, pugi::xml_writer& writer) {
    for (pugi::xml_node child = document.first_child(); child; child = child.next_sibling()) {
        child.print(writer, "", kRootFormat, pugi::encoding_utf8);
        writer.write("\n", 1);
    }
}

// Queries are compiled once per distinct path: the writers select "./video", "./audio" and
// "../.." for every track and clip, and compiling an XPath each time would dominate the run.
const pugi::xpath_query& CompiledQuery(const char* path) {
    thread_local std::unordered_map<std::string, pugi::xpath_query> cache;
    auto found = cache.find(path);
    if (found == cache.end()) {
        found = cache.emplace(path, pugi::xpath_query(path)).first;
    }
    return found->second;
}

void AppendTextContent(pugi::xml_node node, std::string& out) {
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
            out += child.value();
        } else if (child.type() == pugi::node_element) {
            AppendTextContent(child, out);
        }
    }
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

pugi::xml_node FCXmlDocument::AddElement(pugi::xml_node parent, const char* name) {
    return parent.append_child(name);
}

pugi::xml_node FCXmlDocument::AddTextElement(pugi::xml_node parent, const char* name,
                                             std::string_view text) {
    pugi::xml_node element = parent.append_child(name);
    if (!text.empty()) {
        element.append_child(pugi::node_pcdata).set_value(text.data(), text.size());
    }
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
    return attribute && attribute.set_value(value.data(), value.size());
}

bool SetText(pugi::xml_node node, std::string_view text) {
    if (!node || node.type() != pugi::node_element) {
        return false;
    }
    while (pugi::xml_node child = node.first_child()) {
        node.remove_child(child);
    }
    if (text.empty()) {
        return true;
    }
    return node.append_child(pugi::node_pcdata).set_value(text.data(), text.size());
}

pugi::xml_node SelectElement(pugi::xml_node node, const char* path) {
    if (!node) {
        throw std::invalid_argument(std::string("SelectElement: no node to select \"") + path +
                                    "\" from");
    }
    const pugi::xml_node match = CompiledQuery(path).evaluate_node(node).node();
    return match.type() == pugi::node_element ? match : pugi::xml_node();
}

std::string GetTextAt(pugi::xml_node node, const char* path) {
    if (node.type() != pugi::node_element) {
        throw std::invalid_argument(std::string("GetTextAt: no element to read \"") + path +
                                    "\" from");
    }
    std::string text;
    if (const pugi::xml_node element = SelectElement(node, path)) {
        AppendTextContent(element, text);
    }
    return text;
}
