#pragma once

#include <algorithm>
#include <string_view>

/// Compares two texts ignoring the case of ASCII letters (the names and extensions compared
/// this way are all ASCII).
inline bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return std::ranges::equal(a, b, [&](char x, char y) { return lower(x) == lower(y); });
}

/// Whether `text` ends with `suffix`, ignoring the case of ASCII letters.
inline bool EndsWithIgnoringAsciiCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           EqualsIgnoringAsciiCase(text.substr(text.size() - suffix.size()), suffix);
}
