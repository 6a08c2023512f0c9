#include <windows.h>

#include <climits>

#include "platform/multibyte_decoder.h"

namespace tessel::platform {

namespace {

UINT CodePage(MultiByteEncoding encoding) {
    switch (encoding) {
        case MultiByteEncoding::kCp932:
            return 932;
        case MultiByteEncoding::kEucJp:
            return 20932;
        case MultiByteEncoding::kGbk:
            return 936;
        case MultiByteEncoding::kGb18030:
            return 54936;
        case MultiByteEncoding::kBig5:
            return 950;
        case MultiByteEncoding::kEucKr:
            return 949;
    }
    return 0;
}

}  // namespace

bool DecodeMultiByte(MultiByteEncoding encoding, std::string_view bytes, std::string& utf8) {
    const UINT codePage = CodePage(encoding);
    if (codePage == 0 || bytes.size() > static_cast<size_t>(INT_MAX)) {
        return false;
    }
    if (bytes.empty()) {
        return true;
    }
    const int size = static_cast<int>(bytes.size());
    // Invalid sequences fail instead of becoming default characters, as iconv does.
    const int units =
        MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (units <= 0) {
        return false;
    }
    std::wstring wide(static_cast<size_t>(units), L'\0');
    if (MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, wide.data(),
                            units) != units) {
        return false;
    }
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
    if (length <= 0) {
        return false;
    }
    const size_t start = utf8.size();
    utf8.resize(start + static_cast<size_t>(length));
    return WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, utf8.data() + start, length, nullptr,
                               nullptr) == length;
}

}  // namespace tessel::platform
