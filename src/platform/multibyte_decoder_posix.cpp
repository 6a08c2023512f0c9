#include <iconv.h>

#include <cerrno>

#include "platform/multibyte_decoder.h"

namespace tessel::platform {

namespace {

const char* IconvName(MultiByteEncoding encoding) {
    switch (encoding) {
        case MultiByteEncoding::kCp932:
            return "CP932";
        case MultiByteEncoding::kEucJp:
            return "EUC-JP";
        case MultiByteEncoding::kGbk:
            return "CP936";
        case MultiByteEncoding::kGb18030:
            return "GB18030";
        case MultiByteEncoding::kBig5:
            return "CP950";
        case MultiByteEncoding::kEucKr:
            return "CP949";
    }
    return nullptr;
}

}  // namespace

bool DecodeMultiByte(MultiByteEncoding encoding, std::string_view bytes, std::string& utf8) {
    const char* name = IconvName(encoding);
    if (name == nullptr) {
        return false;
    }
    const iconv_t converter = iconv_open("UTF-8", name);
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        return false;
    }
    // iconv takes a non-const input pointer but does not write through it.
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    char block[4096];
    bool ok = true;
    while (inLeft > 0) {
        char* out = block;
        size_t outLeft = sizeof block;
        const size_t done = iconv(converter, &in, &inLeft, &out, &outLeft);
        utf8.append(block, static_cast<size_t>(out - block));
        if (done == static_cast<size_t>(-1) && errno != E2BIG) {
            ok = false;  // an invalid or an incomplete sequence
            break;
        }
    }
    if (ok) {
        char* out = block;
        size_t outLeft = sizeof block;
        ok = iconv(converter, nullptr, nullptr, &out, &outLeft) != static_cast<size_t>(-1);
        utf8.append(block, static_cast<size_t>(out - block));
    }
    iconv_close(converter);
    return ok;
}

}  // namespace tessel::platform
