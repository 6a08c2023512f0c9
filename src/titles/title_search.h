#pragma once

#include <string>
#include <string_view>
#include <vector>

/// Folders searched, in order, for a title document that cannot be opened at the path the AAF
/// file gives (a path of the machine the edit was made on). The conversion sets them before it
/// starts: the input AAF file's folder first, then the folders the user named.
void SetTitleSearchFolders(std::vector<std::string> folders);
const std::vector<std::string>& GetTitleSearchFolders();

/// The local path a "file:" URL names ("file:///C:/a%20b/t.etl" gives "C:/a b/t.etl"), or
/// empty when `path` is not a "file:" URL.
std::string PathFromFileUrl(std::string_view path);

/// The last component of a path, split at "/" and at "\" (Windows paths are common in EDIUS
/// exports).
std::string_view FileNameOf(std::string_view path);

/// The paths tried for a title document, in order and without repeats: `path` as given, the path
/// of a "file:" URL, then the document's file name in each of `folders`.
std::vector<std::string> TitleDocumentCandidates(std::string_view path,
                                                 const std::vector<std::string>& folders);
