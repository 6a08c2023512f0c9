#include "xmeml/xml_text.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

constexpr bool IsAllowedAscii(unsigned char byte) {
    return byte >= 0x20 ? byte < 0x80 : (byte == '\t' || byte == '\n' || byte == '\r');
}

// The length of the well-formed UTF-8 sequence of an allowed character at `text[at]`, or 0.
// Only called on a byte of 0x80 and up. Ranges as in the Unicode well-formed UTF-8 table, so
// overlong forms, surrogates and code points beyond U+10FFFF are refused.
size_t AllowedSequenceLength(std::string_view text, size_t at) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[at + i]); };
    const size_t left = text.size() - at;
    const unsigned char lead = byte(0);
    const auto continuation = [&](size_t i) { return (byte(i) & 0xC0) == 0x80; };
    if (lead >= 0xC2 && lead <= 0xDF) {
        return left >= 2 && continuation(1) ? 2 : 0;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        if (left < 3 || !continuation(1) || !continuation(2)) {
            return 0;
        }
        const unsigned char second = byte(1);
        if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second >= 0xA0)) {
            return 0;  // overlong, or a surrogate
        }
        if (lead == 0xEF && second == 0xBF && byte(2) >= 0xBE) {
            return 0;  // U+FFFE, U+FFFF
        }
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        if (left < 4 || !continuation(1) || !continuation(2) || !continuation(3)) {
            return 0;
        }
        const unsigned char second = byte(1);
        if ((lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second >= 0x90)) {
            return 0;  // overlong, or beyond U+10FFFF
        }
        return 4;
    }
    return 0;
}

// Where the first byte that is not an allowed ASCII character stands (the common case: names
// and numbers are ASCII through and through). Eight bytes at a time while none is a control or
// has its high bit set; tab, line feed and carriage return are then taken one by one.
size_t AsciiPrefixLength(std::string_view text) {
    constexpr uint64_t kHighBits = 0x8080808080808080u;
    constexpr uint64_t kSpaces = 0x2020202020202020u;
    size_t at = 0;
    for (;;) {
        while (at + 8 <= text.size()) {
            uint64_t word;
            std::memcpy(&word, text.data() + at, sizeof word);
            // A byte below 0x20 (with no high bit anywhere) borrows into its own high bit.
            if (((word | (word - kSpaces)) & kHighBits) != 0) {
                break;
            }
            at += 8;
        }
        const size_t stop = at;
        while (at < text.size() && IsAllowedAscii(static_cast<unsigned char>(text[at]))) {
            ++at;
            if (at - stop >= 8) {
                break;  // past the word that stopped the fast loop
            }
        }
        if (at == text.size() || at - stop < 8) {
            return at;
        }
    }
}

}  // namespace

bool IsXmlText(std::string_view text) {
    size_t at = AsciiPrefixLength(text);
    while (at < text.size()) {
        const auto byte = static_cast<unsigned char>(text[at]);
        if (byte < 0x80) {
            if (!IsAllowedAscii(byte)) {
                return false;
            }
            ++at;
            continue;
        }
        const size_t length = AllowedSequenceLength(text, at);
        if (length == 0) {
            return false;
        }
        at += length;
    }
    return true;
}

void AppendXmlText(std::string_view text, std::string& out) {
    size_t at = AsciiPrefixLength(text);
    out.append(text.data(), at);
    // Kept runs are appended whole, not byte by byte.
    size_t runStart = at;
    while (at < text.size()) {
        const auto byte = static_cast<unsigned char>(text[at]);
        size_t length = 0;
        if (byte < 0x80) {
            length = IsAllowedAscii(byte) ? 1 : 0;
        } else {
            length = AllowedSequenceLength(text, at);
        }
        if (length == 0) {
            out.append(text.data() + runStart, at - runStart);
            ++at;
            runStart = at;
        } else {
            at += length;
        }
    }
    out.append(text.data() + runStart, at - runStart);
}

std::string XmlText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    AppendXmlText(text, out);
    return out;
}
