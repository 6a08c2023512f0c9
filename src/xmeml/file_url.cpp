#include "xmeml/file_url.h"

#include <vector>

#include "model/percent_decoding.h"

namespace {

// A locator taken apart: the machine, the drive and the folder and file names, decoded.
struct LocalPath {
    std::string host;   // empty: this machine
    std::string drive;  // the letter of a drive path
    bool rooted = false;
    std::vector<std::string> segments;
};

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (LowerAscii(text[i]) != LowerAscii(prefix[i])) {
            return false;
        }
    }
    return true;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && StartsWithNoCase(a, b);
}

bool IsUnreserved(char c) {
    return IsAsciiLetter(c) || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' ||
           c == '~';
}

// Everything but the unreserved characters is escaped: some importers decode only what they
// must, and an escaped "+", "(" or "#" reads back the same everywhere.
void AppendPercentEncoded(std::string& url, std::string_view bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (char c : bytes) {
        if (IsUnreserved(c)) {
            url += c;
        } else {
            const auto byte = static_cast<unsigned char>(c);
            url += '%';
            url += kHex[byte >> 4];
            url += kHex[byte & 0x0f];
        }
    }
}

// Splits at "\" and "/"; empty names (doubled separators) are dropped later.
std::vector<std::string> SplitAtSeparators(std::string_view text, bool decode) {
    std::vector<std::string> segments;
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || IsSeparator(text[i])) {
            const std::string_view segment = text.substr(start, i - start);
            segments.push_back(decode ? PercentDecoded(segment) : std::string(segment));
            start = i + 1;
        }
    }
    return segments;
}

// "\\server\share\x" without its leading separators.
LocalPath ParseUnc(std::string_view rest, bool decode) {
    LocalPath path;
    path.rooted = true;
    std::vector<std::string> segments = SplitAtSeparators(rest, decode);
    path.host = segments.front();
    path.segments.assign(segments.begin() + 1, segments.end());
    return path;
}

bool IsDriveName(std::string_view name) {
    // "C|" is the old URL spelling of "C:".
    return name.size() == 2 && IsAsciiLetter(name[0]) && (name[1] == ':' || name[1] == '|');
}

LocalPath ParsePath(std::string_view text) {
    // The Win32 namespace prefixes "\\?\" and "\\.\" stand before a drive path or "UNC\".
    if (text.size() >= 4 && IsSeparator(text[0]) && IsSeparator(text[1]) &&
        (text[2] == '?' || text[2] == '.') && IsSeparator(text[3])) {
        text.remove_prefix(4);
        if (StartsWithNoCase(text, "UNC") && text.size() > 3 && IsSeparator(text[3])) {
            return ParseUnc(text.substr(4), false);
        }
    }
    if (text.size() >= 2 && IsSeparator(text[0]) && IsSeparator(text[1])) {
        return ParseUnc(text.substr(2), false);
    }
    LocalPath path;
    if (text.size() >= 2 && IsAsciiLetter(text[0]) && text[1] == ':') {
        // "D:name" (relative to drive D's current folder elsewhere) is taken from D's root.
        path.drive = std::string(1, text[0]);
        path.rooted = true;
        text.remove_prefix(2);
    } else if (!text.empty() && IsSeparator(text[0])) {
        path.rooted = true;
    }
    path.segments = SplitAtSeparators(text, false);
    return path;
}

// `text` starts with "file:". A host of "localhost" or none is this machine; "file:////server"
// and "file://///server" are the spellings some programs give a network share.
LocalPath ParseFileUrl(std::string_view text) {
    text.remove_prefix(5);
    LocalPath path;
    if (text.size() >= 2 && text[0] == '/' && text[1] == '/') {
        text.remove_prefix(2);
        size_t end = 0;
        while (end < text.size() && !IsSeparator(text[end])) {
            ++end;
        }
        std::string host = PercentDecoded(text.substr(0, end));
        text.remove_prefix(end);
        path.rooted = true;
        if (IsDriveName(host)) {
            path.drive = std::string(1, host[0]);  // "file://C:/x", a common misspelling
        } else if (!host.empty() && !EqualsNoCase(host, "localhost")) {
            path.host = std::move(host);
        } else if (text.size() >= 2 && IsSeparator(text[1])) {
            size_t slashes = 2;
            while (slashes < text.size() && IsSeparator(text[slashes])) {
                ++slashes;
            }
            return ParseUnc(text.substr(slashes), true);
        }
    } else if (!text.empty() && IsSeparator(text[0])) {
        path.rooted = true;
    }
    path.segments = SplitAtSeparators(text, true);
    if (path.host.empty() && path.drive.empty()) {
        // The drive is the first name that is not empty: "file:///C:/x" or "file:/C:/x".
        for (size_t i = 0; i < path.segments.size(); ++i) {
            if (path.segments[i].empty()) {
                continue;
            }
            if (IsDriveName(path.segments[i])) {
                path.drive = std::string(1, path.segments[i][0]);
                path.rooted = true;
                path.segments.erase(path.segments.begin(),
                                    path.segments.begin() + static_cast<std::ptrdiff_t>(i) + 1);
            }
            break;
        }
    }
    return path;
}

LocalPath ParseLocator(std::string_view locator) {
    return StartsWithNoCase(locator, "file:") ? ParseFileUrl(locator) : ParsePath(locator);
}

std::vector<std::string> WithoutDotSteps(const std::vector<std::string>& segments) {
    std::vector<std::string> out;
    for (const std::string& segment : segments) {
        if (segment.empty() || segment == ".") {
            continue;
        }
        if (segment == "..") {
            if (!out.empty()) {
                out.pop_back();
            }
            continue;
        }
        out.push_back(segment);
    }
    return out;
}

}  // namespace

std::optional<std::string> FileUrlFromLocator(std::string_view locator,
                                              std::string_view baseFolder) {
    if (locator.empty()) {
        return std::nullopt;
    }
    LocalPath path = ParseLocator(locator);
    if (!path.rooted) {
        LocalPath folder = ParseLocator(baseFolder);
        folder.segments.insert(folder.segments.end(), path.segments.begin(), path.segments.end());
        path = std::move(folder);
    }
    std::string url = "file://";
    if (path.host.empty()) {
        url += "localhost";
    } else {
        AppendPercentEncoded(url, path.host);
    }
    if (!path.drive.empty()) {
        url += '/';
        url += path.drive;
        url += "%3a";  // as Final Cut Pro and Premiere spell the drive's colon
    }
    const std::vector<std::string> segments = WithoutDotSteps(path.segments);
    for (const std::string& segment : segments) {
        url += '/';
        AppendPercentEncoded(url, segment);
    }
    if (segments.empty()) {
        url += '/';
    }
    return url;
}
