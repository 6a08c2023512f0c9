#include "file_url_decoding.h"

#include <cctype>

namespace {

bool IsPathCharacter(char c) {
    // RFC 3986 pchar without the escape, and "/".
    return std::isalnum(static_cast<unsigned char>(c)) != 0 ||
           std::string_view("-._~!$&'()*+,;=:@/").find(c) != std::string_view::npos;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

}  // namespace

std::string PathFromFileUrl(std::string_view url) {
    constexpr std::string_view kScheme = "file://";
    if (url.substr(0, kScheme.size()) != kScheme) {
        return {};
    }
    url.remove_prefix(kScheme.size());
    const size_t slash = url.find('/');
    if (slash == std::string_view::npos || slash == 0) {
        return {};
    }
    const std::string_view host = url.substr(0, slash);
    std::string path;
    for (size_t i = slash; i < url.size(); ++i) {
        if (url[i] == '%') {
            if (i + 2 >= url.size() || HexValue(url[i + 1]) < 0 || HexValue(url[i + 2]) < 0) {
                return {};
            }
            path += static_cast<char>(HexValue(url[i + 1]) * 16 + HexValue(url[i + 2]));
            i += 2;
        } else if (IsPathCharacter(url[i])) {
            path += url[i];
        } else {
            return {};
        }
    }
    if (host != "localhost") {
        path = "\\\\" + std::string(host) + path;
    } else if (path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[1])) != 0 &&
               path[2] == ':' && (path.size() == 3 || path[3] == '/')) {
        path = path.substr(1) + (path.size() == 3 ? "/" : "");
    } else {
        return path;
    }
    for (char& c : path) {
        c = c == '/' ? '\\' : c;
    }
    return path;
}
