#pragma once

#include <string>

/// The text and font of an EDIUS title, as its title document holds them (unparsed texts).
class FCTitleInfo {
  public:
    std::string text = "Dummy";
    std::string fontName = "Arial";
    std::string fontSize = "26";
    std::string vertical;
    std::string bold;
    std::string italic;
    std::string underline;
};
