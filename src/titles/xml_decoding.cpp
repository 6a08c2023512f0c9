#include "titles/xml_decoding.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <variant>

#include "aaf/text.h"
#include "platform/multibyte_decoder.h"
#include "titles/single_byte_tables.h"

namespace {

using tessel::aaf::AppendUtf8;
using tessel::platform::MultiByteEncoding;

enum class UnicodeForm { kUtf8, kUtf16Le, kUtf16Be, kUtf32Le, kUtf32Be };
struct Ascii {};
struct Utf16Any {};  // "UTF-16": the byte order comes from the mark or the first characters
struct Utf32Any {};
using Encoding =
    std::variant<UnicodeForm, Utf16Any, Utf32Any, Ascii, MultiByteEncoding, const SingleByteTable*>;

char AsciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return AsciiUpper(x) == AsciiUpper(y);
           });
}

const SingleByteTable* SingleByte(std::string_view canonical) {
    for (size_t i = 0; i < kSingleByteTableCount; ++i) {
        if (SameName(kSingleByteTables[i].name, canonical)) {
            return &kSingleByteTables[i];
        }
    }
    return nullptr;
}

// The encodings a title document may declare, by their registered names and common aliases.
std::optional<Encoding> EncodingNamed(std::string_view name) {
    struct Alias {
        std::string_view name;
        Encoding encoding;
    };
    static const Alias kAliases[] = {
        {"UTF-8", UnicodeForm::kUtf8},
        {"UTF8", UnicodeForm::kUtf8},
        {"UTF-16", Utf16Any{}},
        {"UTF16", Utf16Any{}},
        {"ISO-10646-UCS-2", Utf16Any{}},
        {"UCS-2", Utf16Any{}},
        {"UTF-16LE", UnicodeForm::kUtf16Le},
        {"UTF-16BE", UnicodeForm::kUtf16Be},
        {"UTF-32", Utf32Any{}},
        {"UTF32", Utf32Any{}},
        {"ISO-10646-UCS-4", Utf32Any{}},
        {"UCS-4", Utf32Any{}},
        {"UTF-32LE", UnicodeForm::kUtf32Le},
        {"UTF-32BE", UnicodeForm::kUtf32Be},
        {"US-ASCII", Ascii{}},
        {"ASCII", Ascii{}},
        {"Shift_JIS", MultiByteEncoding::kCp932},
        {"Shift-JIS", MultiByteEncoding::kCp932},
        {"SJIS", MultiByteEncoding::kCp932},
        {"MS_Kanji", MultiByteEncoding::kCp932},
        {"csShiftJIS", MultiByteEncoding::kCp932},
        {"CP932", MultiByteEncoding::kCp932},
        {"MS932", MultiByteEncoding::kCp932},
        {"Windows-31J", MultiByteEncoding::kCp932},
        {"x-sjis", MultiByteEncoding::kCp932},
        {"EUC-JP", MultiByteEncoding::kEucJp},
        {"EUCJP", MultiByteEncoding::kEucJp},
        {"x-euc-jp", MultiByteEncoding::kEucJp},
        {"GBK", MultiByteEncoding::kGbk},
        {"CP936", MultiByteEncoding::kGbk},
        {"MS936", MultiByteEncoding::kGbk},
        {"windows-936", MultiByteEncoding::kGbk},
        {"GB2312", MultiByteEncoding::kGbk},
        {"EUC-CN", MultiByteEncoding::kGbk},
        {"GB18030", MultiByteEncoding::kGb18030},
        {"Big5", MultiByteEncoding::kBig5},
        {"csBig5", MultiByteEncoding::kBig5},
        {"CP950", MultiByteEncoding::kBig5},
        {"EUC-KR", MultiByteEncoding::kEucKr},
        {"csEUCKR", MultiByteEncoding::kEucKr},
    };
    for (const Alias& alias : kAliases) {
        if (SameName(alias.name, name)) {
            return alias.encoding;
        }
    }
    // windows-1250 ... windows-1258, also as cp1250 ...
    std::string canonical(name);
    if (canonical.size() == 6 && SameName(canonical.substr(0, 2), "CP")) {
        canonical = "windows-" + canonical.substr(2);
    }
    // ISO-8859-n, also as ISO8859-n, ISO_8859-n and latin1 ... latin6.
    for (std::string_view prefix : {"ISO8859-", "ISO_8859-", "ISO-8859-"}) {
        if (canonical.size() > prefix.size() &&
            SameName(std::string_view(canonical).substr(0, prefix.size()), prefix)) {
            canonical = "ISO-8859-" + canonical.substr(prefix.size());
        }
    }
    static constexpr std::array<std::string_view, 6> kLatin = {"1", "2", "3", "4", "9", "10"};
    for (size_t i = 0; i < kLatin.size(); ++i) {
        if (SameName(name, "latin" + std::to_string(i + 1))) {
            canonical = "ISO-8859-" + std::string(kLatin[i]);
        }
    }
    if (const SingleByteTable* table = SingleByte(canonical)) {
        return table;
    }
    return std::nullopt;
}

uint32_t Unit(std::string_view bytes, size_t at, size_t size, bool bigEndian) {
    uint32_t value = 0;
    for (size_t i = 0; i < size; ++i) {
        const auto byte = static_cast<unsigned char>(bytes[at + (bigEndian ? i : size - 1 - i)]);
        value = (value << 8) | byte;
    }
    return value;
}

bool DecodeUtf16(std::string_view bytes, bool bigEndian, std::string& out) {
    if (bytes.size() % 2 != 0) {
        return false;
    }
    for (size_t at = 0; at < bytes.size(); at += 2) {
        const uint32_t unit = Unit(bytes, at, 2, bigEndian);
        if (unit >= 0xDC00 && unit <= 0xDFFF) {
            return false;  // a low surrogate alone
        }
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            if (at + 4 > bytes.size()) {
                return false;
            }
            const uint32_t low = Unit(bytes, at + 2, 2, bigEndian);
            if (low < 0xDC00 || low > 0xDFFF) {
                return false;
            }
            AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
            at += 2;
            continue;
        }
        AppendUtf8(out, unit);
    }
    return true;
}

bool DecodeUtf32(std::string_view bytes, bool bigEndian, std::string& out) {
    if (bytes.size() % 4 != 0) {
        return false;
    }
    for (size_t at = 0; at < bytes.size(); at += 4) {
        const uint32_t value = Unit(bytes, at, 4, bigEndian);
        if (value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
            return false;
        }
        AppendUtf8(out, value);
    }
    return true;
}

bool DecodeSingleByte(const SingleByteTable& table, std::string_view bytes, std::string& out) {
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            out += c;
            continue;
        }
        const char16_t unit = table.upper[byte - 0x80];
        if (unit == 0) {
            return false;
        }
        AppendUtf8(out, unit);
    }
    return true;
}

bool DecodeUnicode(UnicodeForm form, std::string_view bytes, std::string& out) {
    switch (form) {
        case UnicodeForm::kUtf8:
            out.append(bytes);
            return true;
        case UnicodeForm::kUtf16Le:
        case UnicodeForm::kUtf16Be:
            return DecodeUtf16(bytes, form == UnicodeForm::kUtf16Be, out);
        case UnicodeForm::kUtf32Le:
        case UnicodeForm::kUtf32Be:
            return DecodeUtf32(bytes, form == UnicodeForm::kUtf32Be, out);
    }
    return false;
}

bool StartsWith(std::string_view bytes, std::string_view prefix) {
    return bytes.substr(0, prefix.size()) == prefix;
}

bool IsXmlSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// The encoding name of the XML declaration at the start of `text` (ASCII-compatible), or
// empty text when there is no declaration or it names none. The parser checks the
// declaration's syntax later; this reads only the name.
std::string_view DeclaredEncoding(std::string_view text) {
    if (!StartsWith(text, "<?xml") || text.size() < 6 || !IsXmlSpace(text[5])) {
        return {};
    }
    const size_t end = text.find("?>");
    const std::string_view declaration = text.substr(0, end);
    const size_t key = declaration.find("encoding");
    if (key == std::string_view::npos) {
        return {};
    }
    size_t at = key + 8;
    while (at < declaration.size() && IsXmlSpace(declaration[at])) {
        ++at;
    }
    if (at >= declaration.size() || declaration[at] != '=') {
        return {};
    }
    ++at;
    while (at < declaration.size() && IsXmlSpace(declaration[at])) {
        ++at;
    }
    if (at >= declaration.size() || (declaration[at] != '"' && declaration[at] != '\'')) {
        return {};
    }
    const size_t close = declaration.find(declaration[at], at + 1);
    if (close == std::string_view::npos) {
        return {};
    }
    return declaration.substr(at + 1, close - at - 1);
}

// Whether a document found to be in `form` may declare `declared` (or declare nothing).
bool DeclarationFits(UnicodeForm form, std::string_view declared) {
    if (declared.empty()) {
        return true;
    }
    const std::optional<Encoding> named = EncodingNamed(declared);
    if (!named) {
        return false;
    }
    if (const auto* exact = std::get_if<UnicodeForm>(&*named)) {
        return *exact == form;
    }
    switch (form) {
        case UnicodeForm::kUtf8:
            return false;
        case UnicodeForm::kUtf16Le:
        case UnicodeForm::kUtf16Be:
            return std::holds_alternative<Utf16Any>(*named);
        case UnicodeForm::kUtf32Le:
        case UnicodeForm::kUtf32Be:
            return std::holds_alternative<Utf32Any>(*named);
    }
    return false;
}

// The Unicode form told by a byte-order mark or by the first characters "<?" of a document in
// a 16- or 32-bit form; `markSize` is the mark's length.
std::optional<UnicodeForm> DetectedForm(std::string_view bytes, size_t& markSize) {
    using namespace std::string_view_literals;
    struct Signature {
        std::string_view bytes;
        UnicodeForm form;
        bool mark;
    };
    static const Signature kSignatures[] = {
        {"\x00\x00\xFE\xFF"sv, UnicodeForm::kUtf32Be, true},
        {"\xFF\xFE\x00\x00"sv, UnicodeForm::kUtf32Le, true},
        {"\xEF\xBB\xBF"sv, UnicodeForm::kUtf8, true},
        {"\xFE\xFF"sv, UnicodeForm::kUtf16Be, true},
        {"\xFF\xFE"sv, UnicodeForm::kUtf16Le, true},
        {"\x00\x00\x00\x3C"sv, UnicodeForm::kUtf32Be, false},
        {"\x3C\x00\x00\x00"sv, UnicodeForm::kUtf32Le, false},
        {"\x00\x3C\x00\x3F"sv, UnicodeForm::kUtf16Be, false},
        {"\x3C\x00\x3F\x00"sv, UnicodeForm::kUtf16Le, false},
    };
    for (const Signature& signature : kSignatures) {
        if (StartsWith(bytes, signature.bytes)) {
            markSize = signature.mark ? signature.bytes.size() : 0;
            return signature.form;
        }
    }
    markSize = 0;
    return std::nullopt;
}

}  // namespace

bool DecodeXmlDocument(std::string_view bytes, std::string& utf8) {
    size_t markSize = 0;
    if (const std::optional<UnicodeForm> form = DetectedForm(bytes, markSize)) {
        const size_t start = utf8.size();
        if (!DecodeUnicode(*form, bytes.substr(markSize), utf8)) {
            return false;
        }
        return DeclarationFits(*form, DeclaredEncoding(std::string_view(utf8).substr(start)));
    }
    const std::string_view declared = DeclaredEncoding(bytes);
    if (declared.empty()) {
        utf8.append(bytes);
        return true;
    }
    const std::optional<Encoding> named = EncodingNamed(declared);
    if (!named) {
        return false;
    }
    if (const auto* form = std::get_if<UnicodeForm>(&*named)) {
        // Only UTF-8 reads as ASCII at the start; a 16- or 32-bit form would have been detected.
        return *form == UnicodeForm::kUtf8 && DecodeUnicode(*form, bytes, utf8);
    }
    if (std::holds_alternative<Ascii>(*named)) {
        if (std::any_of(bytes.begin(), bytes.end(),
                        [](char c) { return static_cast<unsigned char>(c) >= 0x80; })) {
            return false;
        }
        utf8.append(bytes);
        return true;
    }
    if (const auto* table = std::get_if<const SingleByteTable*>(&*named)) {
        return DecodeSingleByte(**table, bytes, utf8);
    }
    if (const auto* multiByte = std::get_if<MultiByteEncoding>(&*named)) {
        return tessel::platform::DecodeMultiByte(*multiByte, bytes, utf8);
    }
    return false;  // UTF-16 or UTF-32 declared in a document that is neither
}
