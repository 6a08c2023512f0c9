#pragma once

#include <functional>
#include <string>

#include <string_view>

#include "xmeml/xml_document.h"

/// Writes a file so that `path` is either left as it was or replaced by the complete new content:
/// `write` fills a temporary file in the same folder, which is renamed over `path` only once it
/// is completely written and flushed to disk. On failure the temporary file is removed.
SaveStatus WriteFileAtomically(const std::string& path,
                               const std::function<void(ByteSink&)>& write);
