#pragma once

#include <string>

#include "model/title_info.h"

/// Fills `title` from the first text object of the EDIUS title document at `path`, logging a
/// warning when the document holds more than one. When no document loads (at `path` nor at the
/// places of `TitleDocumentCandidates`), or it holds no text object, `title` keeps its values.
/// Returns the path that was read, or empty text when none loaded.
std::string ReadTitleDocument(const std::string& path, FCTitleInfo& title);

/// What reading a title document gave: the record filled, the path read (empty when none
/// loaded) and whether the document held more than one text object.
struct TitleReading {
    FCTitleInfo title;
    std::string pathRead;
    bool severalTexts = false;
};

/// Reads as `ReadTitleDocument` does, starting from `start`, but logs nothing.
TitleReading ReadTitleDocumentQuietly(const std::string& path, const FCTitleInfo& start);
/// Logs what `ReadTitleDocument` logs for `reading`: a warning when it held several texts.
void LogTitleReading(const TitleReading& reading);

/// As `ReadTitleDocument`, but only from `path` itself, without searching elsewhere.
/// Returns whether the document loaded.
bool ReadTitleDocumentAt(const std::string& path, FCTitleInfo& title);
