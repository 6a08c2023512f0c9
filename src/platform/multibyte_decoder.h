#pragma once

#include <string>
#include <string_view>

namespace tessel::platform {

/// The multi-byte legacy encodings that are decoded through the system's own tables. Each
/// names one table that both platforms have: glibc's iconv converter and the Windows code page
/// of the same name.
enum class MultiByteEncoding {
    kCp932,    // Shift_JIS as Windows writes it: iconv "CP932", code page 932
    kEucJp,    // "EUC-JP", code page 20932
    kGbk,      // "CP936", code page 936
    kGb18030,  // "GB18030", code page 54936
    kBig5,     // "CP950", code page 950
    kEucKr,    // EUC-KR with its Windows extension (UHC): "CP949", code page 949
};

/// Appends `bytes`, read in `encoding`, to `utf8` as UTF-8. False when the bytes are not a
/// valid text in that encoding (or the system cannot decode it); `utf8` then holds part of it.
bool DecodeMultiByte(MultiByteEncoding encoding, std::string_view bytes, std::string& utf8);

}  // namespace tessel::platform
