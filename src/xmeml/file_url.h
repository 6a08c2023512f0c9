#pragma once

#include <optional>
#include <string>
#include <string_view>

/// The RFC 3986 "file" URL of a media locator, spelt as Final Cut Pro and Premiere write it:
/// "D:\a b\c.mov" gives "file://localhost/D%3a/a%20b/c.mov", "\\server\share\x.mov" gives
/// "file://server/share/x.mov", "/Volumes/x/y.mov" gives "file://localhost/Volumes/x/y.mov".
/// Bytes outside the unreserved set are percent-encoded (non-ASCII as its UTF-8 bytes). A
/// locator that already is a "file:" URL is normalised, never encoded twice; a relative one is
/// resolved against `baseFolder` (the AAF file's folder) first; "." and ".." steps are resolved.
/// None for an empty locator: the media is then offline.
std::optional<std::string> FileUrlFromLocator(std::string_view locator,
                                              std::string_view baseFolder);
