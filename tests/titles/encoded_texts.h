#pragma once

// Texts in each encoding a title document may declare, with the same text in UTF-8, encoded by
// the encodings' published tables.

#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/multibyte_decoder.h"

struct EncodedText {
    const char* encoding;  // as declared
    const char* bytes;     // the text in that encoding, as hexadecimal bytes
    const char* text;      // the same text in UTF-8
};

inline constexpr EncodedText kEncodedTexts[] = {
    {"UTF-8", "47 72 c3 bc c3 9f 65 20 e6 97 a5 e6 9c ac e8 aa 9e 20 f0 9f 8e ac",
     "Grüße 日本語 🎬"},
    {"Shift_JIS", "93 fa 96 7b 8c ea 83 5e 83 43 83 67 83 8b 20 87 40", "日本語タイトル ①"},
    {"CP932", "b6 c0 b6 c5 20 81 5f 81 60", "ｶﾀｶﾅ ＼～"},
    {"EUC-JP", "c6 fc cb dc b8 ec a5 bf a5 a4 a5 c8 a5 eb", "日本語タイトル"},
    {"GBK", "d6 d0 ce c4 b1 ea cc e2", "中文标题"},
    {"GB2312", "d6 d0 ce c4 b1 ea cc e2", "中文标题"},
    {"GB18030", "d6 d0 ce c4 b1 ea cc e2 20 94 39 c1 30", "中文标题 🎬"},
    {"Big5", "a4 a4 a4 e5 bc d0 c3 44", "中文標題"},
    {"EUC-KR", "c7 d1 b1 b9 be ee 20 c1 a6 b8 f1", "한국어 제목"},
    {"ISO-8859-1", "47 72 fc df 65 20 e0 20 4e 6f eb 6c", "Grüße à Noël"},
    {"ISO-8859-2", "5a 61 bf f3 b3 e6 20 67 ea b6 6c b1", "Zażółć gęślą"},
    {"ISO-8859-5", "bf e0 d8 d2 d5 e2", "Привет"},
    {"ISO-8859-7", "ca e1 eb e7 ec dd f1 e1", "Καλημέρα"},
    {"ISO-8859-15", "50 72 69 78 20 35 20 a4", "Prix 5 €"},
    {"latin1", "47 72 fc df 65", "Grüße"},
    {"windows-1250", "5a 61 bf f3 b3 e6 20 84 67 ea 9c 6c b9 94", "Zażółć „gęślą”"},
    {"windows-1251", "cf f0 e8 e2 e5 f2 20 ec e8 f0", "Привет мир"},
    {"windows-1252", "47 72 fc df 65 20 96 20 84 54 69 74 65 6c 93 20 80", "Grüße – „Titel“ €"},
    {"cp1252", "43 61 66 e9", "Café"},
    {"windows-1253", "ca e1 eb e7 ec dd f1 e1", "Καλημέρα"},
    {"windows-1254", "47 fc 6e 61 79 64 fd 6e", "Günaydın"},
    {"windows-1255", "f9 ec e5 ed", "שלום"},
    {"windows-1256", "e3 d1 cd c8 c7", "مرحبا"},
    {"windows-1257", "4c 61 62 61 73 20 72 79 74 61 73 20 e0 e8 e6", "Labas rytas ąčę"},
    {"windows-1258", "58 69 6e 20 63 68 e0 6f", "Xin chào"},
    {"US-ASCII", "50 6c 61 69 6e 20 74 69 74 6c 65", "Plain title"},
    {"CP936", "80", "€"},
    {"EUC-KR", "81 41", "갂"},  // read as its Windows extension, as browsers do
    {"Shift-JIS", "5c 7e", "\\~"},
    {"ISO_8859-5", "bf", "П"},
    {"ISO8859-2", "a1", "Ą"},
    {"UTF8", "c3 a9", "é"},
};

/// Whether this system has the table `encoded` needs. Wine lacks GB18030 (code page 54936,
/// which Windows has): there a GB18030 title is a failed load.
inline bool SystemHasTable(const EncodedText& encoded) {
    if (std::string_view(encoded.encoding) != "GB18030") {
        return true;
    }
    std::string text;
    return tessel::platform::DecodeMultiByte(tessel::platform::MultiByteEncoding::kGb18030,
                                             "\x81\x30\x81\x30", text);
}

/// "93 fa 96 7b" → the bytes 0x93 0xFA 0x96 0x7B.
inline std::string HexBytes(std::string_view hex) {
    std::string bytes;
    for (size_t at = 0; at + 1 < hex.size(); at += 3) {
        bytes +=
            static_cast<char>(std::strtoul(std::string(hex.substr(at, 2)).c_str(), nullptr, 16));
    }
    return bytes;
}
