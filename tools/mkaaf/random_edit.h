#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace tessel::mkaaf {

/// A title document the random edit refers to (written beside the AAF file on request).
struct TitleDocument {
    std::string fileName;  ///< e.g. "Title_0001.etl"
    std::string text;
    std::string fontName;
    int fontSize = 36;
};

struct RandomEdit {
    nlohmann::json description;  ///< in the format BuildFromDescription reads
    std::vector<TitleDocument> titles;
};

/// A plausible EDIUS export of about `clips` source clips on composition tracks: several
/// sequences with V1, V2 and A1–A4; video clips of .avi/.mov/.mp4 files with their sound on A1/A2
/// at the same place; dissolves (audio cross-fades along), speed changes including reverse,
/// titles (.etl), colour mattes, bars and tone, stills and music. The same seed gives the same
/// edit on every platform.
RandomEdit MakeRandomEdit(std::uint64_t seed, std::int64_t clips, std::uint32_t sectorSize);

/// The XML of an EDIUS title document holding one text object.
std::string TitleDocumentXml(const TitleDocument& title);

}  // namespace tessel::mkaaf
