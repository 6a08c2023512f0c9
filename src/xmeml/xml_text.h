#pragma once

#include <string>
#include <string_view>

/// Whether `text` is UTF-8 made only of characters an XML 1.0 document can carry.
bool IsXmlText(std::string_view text);

/// Appends `text` to `out` without what an XML 1.0 document cannot carry: C0 controls other
/// than tab, line feed and carriage return; U+FFFE and U+FFFF; surrogates encoded as UTF-8;
/// bytes that are not part of well-formed UTF-8 (each such byte on its own). The rest is kept.
void AppendXmlText(std::string_view text, std::string& out);

/// `text` as `AppendXmlText` leaves it.
std::string XmlText(std::string_view text);
