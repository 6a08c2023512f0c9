#pragma once

#include <string>
#include <string_view>

/// The dialogs speak UTF-16 to Windows and UTF-8 to the conversion; these convert at that edge.
/// Invalid sequences become U+FFFD.
std::wstring WideFromUtf8(std::string_view text);
std::string Utf8FromWide(std::wstring_view text);
