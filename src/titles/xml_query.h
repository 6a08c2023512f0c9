#pragma once

#include <string>

#include <pugixml.hpp>

/// The first node that the relative XPath `path` selects from `node`, if it is an element;
/// an empty handle otherwise. Throws std::invalid_argument when `node` is empty.
pugi::xml_node SelectElement(pugi::xml_node node, const char* path);
/// The whole text content (all descendant text, untrimmed) of `SelectElement(node, path)`,
/// or empty text when nothing is selected. Throws std::invalid_argument when `node` is empty.
std::string GetTextAt(pugi::xml_node node, const char* path);
