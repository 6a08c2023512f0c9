#include "aaf/text.h"

namespace tessel::aaf {

namespace {

// UTF-8 of the `count` code units that `unitAt(i)` gives.
template <class UnitAt>
std::string ToUtf8(std::size_t count, UnitAt unitAt) {
    std::string out;
    out.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const char16_t unit = unitAt(i);
        if (unit < 0x80) {
            out += static_cast<char>(unit);  // names and paths are mostly ASCII
            continue;
        }
        const char16_t next = i + 1 < count ? unitAt(i + 1) : u'\0';
        if (unit >= 0xD800 && unit <= 0xDBFF && next >= 0xDC00 && next <= 0xDFFF) {
            const char32_t high = unit - 0xD800u;
            const char32_t low = next - 0xDC00u;
            AppendUtf8(out, 0x10000 + ((high << 10) | low));
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            AppendUtf8(out, 0xFFFD);
        } else {
            AppendUtf8(out, unit);
        }
    }
    return out;
}

char16_t UnitAt(std::span<const std::uint8_t> bytes, std::size_t i, bool bigEndian) {
    return static_cast<char16_t>(bigEndian ? (bytes[2 * i] << 8) | bytes[2 * i + 1]
                                           : bytes[2 * i] | (bytes[2 * i + 1] << 8));
}

}  // namespace

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string Utf16ToUtf8(std::u16string_view text) {
    return ToUtf8(text.size(), [text](std::size_t i) { return text[i]; });
}

std::string DecodeUtf16ToUtf8(std::span<const std::uint8_t> bytes, bool bigEndian) {
    std::size_t count = 0;
    while (count < bytes.size() / 2 && UnitAt(bytes, count, bigEndian) != 0) {
        ++count;
    }
    return ToUtf8(count, [&](std::size_t i) { return UnitAt(bytes, i, bigEndian); });
}

std::u16string DecodeUtf16(std::span<const std::uint8_t> bytes, bool bigEndian) {
    std::u16string text;
    text.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto unit = static_cast<char16_t>(bigEndian ? (bytes[i] << 8) | bytes[i + 1]
                                                          : bytes[i] | (bytes[i + 1] << 8));
        if (unit == 0) {
            break;
        }
        text += unit;
    }
    return text;
}

}  // namespace tessel::aaf
