#pragma once

#include <functional>
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
    /// The title document the record was read from; empty when none loaded (the defaults stay).
    std::string documentPath;
};

/// Fills a title record from the title document at `path`. The title reader sits above the
/// model, so the conversion hands it to the clip items when they resolve their links.
using TitleDocumentReader = std::function<void(const std::string& path, FCTitleInfo& title)>;
