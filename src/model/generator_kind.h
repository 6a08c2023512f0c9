#pragma once

#include <string_view>

#include "aaf/AAF.h"

// How EDIUS marks clips that show no media file of their own.

/// The `GeneratorKind` of a clip: the slot name decides first, then the path's extension, then
/// a media length of 1.
int32_t ClassifyGenerator(std::string_view slotName, std::string_view mediaPath,
                          aafLength_t mediaLength);

/// One minute of edit units at `editRate` (the margin a generated or still clip gets on each
/// side of its virtual medium); 0 for a zero denominator.
aafLength_t GeneratorHandle(aafRational_t editRate);
