#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tessel::aaf {

/// Appends the UTF-8 form of the code point `c`.
void AppendUtf8(std::string& out, char32_t c);

/// UTF-16 code units to UTF-8; unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);

/// A stored AAF string (UTF-16 code units in the given byte order) up to its first NUL unit.
/// An odd trailing byte is ignored.
std::u16string DecodeUtf16(std::span<const std::uint8_t> bytes, bool bigEndian);
/// The same string as UTF-8, in one pass.
std::string DecodeUtf16ToUtf8(std::span<const std::uint8_t> bytes, bool bigEndian);

}  // namespace tessel::aaf
