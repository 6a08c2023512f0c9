#pragma once

#include <pugixml.hpp>

class FCXmlDocument;

/// Appends the fixed "importoptions" to the root.
void WriteImportOptions(FCXmlDocument& writer, pugi::xml_node root);
