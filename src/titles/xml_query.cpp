#include "titles/xml_query.h"

#include <mutex>
#include <stdexcept>
#include <string>
#include <unordered_map>

namespace {

// Queries are compiled once per distinct path and kept for the process: every title document is
// read with the same few paths. The cache is shared by all threads, not one per thread: objects
// with destructors in thread-local storage are destroyed after their storage is released when a
// thread ends in MinGW builds, which corrupts the heap.
const pugi::xpath_query& CompiledQuery(const char* path) {
    static std::mutex mutex;
    static std::unordered_map<std::string, pugi::xpath_query> cache;
    const std::lock_guard lock(mutex);
    auto found = cache.find(path);
    if (found == cache.end()) {
        found = cache.emplace(path, pugi::xpath_query(path)).first;
    }
    return found->second;  // elements of an unordered_map keep their address
}

// Walks the subtree in document order without recursion: a title document may nest elements
// deeper than the stack could follow.
void AppendTextContent(pugi::xml_node node, std::string& out) {
    pugi::xml_node current = node.first_child();
    while (current) {
        const pugi::xml_node_type type = current.type();
        if (type == pugi::node_pcdata || type == pugi::node_cdata) {
            out += current.value();
        } else if (type == pugi::node_element && current.first_child()) {
            current = current.first_child();
            continue;
        }
        while (!current.next_sibling()) {
            current = current.parent();
            if (current == node) {
                return;
            }
        }
        current = current.next_sibling();
    }
}

}  // namespace

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
