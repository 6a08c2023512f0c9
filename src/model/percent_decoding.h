#pragma once

#include <string>
#include <string_view>

/// `text` with every "%XX" escape replaced by its byte. A "%" that does not start an escape is
/// kept as itself, as browsers do.
std::string PercentDecoded(std::string_view text);
