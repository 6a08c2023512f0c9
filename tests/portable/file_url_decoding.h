#pragma once

#include <string>
#include <string_view>

/// Reads a "file" URL back as a path, as an importer would: "file://localhost/D%3a/a%20b"
/// gives "D:\a b", "file://server/share/x" gives "\\server\share\x", "file://localhost/x/y"
/// gives "/x/y". Empty when `url` is not a well-formed file URL (a character outside RFC 3986's
/// path characters, a broken escape, or another scheme).
std::string PathFromFileUrl(std::string_view url);
