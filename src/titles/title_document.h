#pragma once

#include <string>

#include "model/title_info.h"

/// Fills `title` from the first text object of the EDIUS title document at `path`, logging a
/// warning when the document holds more than one. When no document loads (at `path` nor at the
/// places of `TitleDocumentCandidates`), or it holds no text object, `title` keeps its values.
/// Returns the path that was read, or empty text when none loaded.
std::string ReadTitleDocument(const std::string& path, FCTitleInfo& title);

/// As `ReadTitleDocument`, but only from `path` itself, without searching elsewhere.
/// Returns whether the document loaded.
bool ReadTitleDocumentAt(const std::string& path, FCTitleInfo& title);
