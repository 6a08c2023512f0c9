#pragma once

#include <string>
#include <string_view>

/// The name the save dialog proposes for an input path: the path up to, not including, its last
/// "." (so "cut.aaf" gives "cut"), or empty when it has none. A "." in a folder name counts too.
/// Works on UTF-8 (and on any encoding where "." is one unit of its own).
std::string DefaultOutputName(std::string_view aafPath);
