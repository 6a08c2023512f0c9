#pragma once

#include <cstdint>
#include <string>

/// A component of a track's slot that holds source clips the document has no item for, taken
/// at the outermost component that was left out.
struct FCNotCarried {
    int64_t position = 0;  ///< record position on the track, in the track's edit units
    int64_t length = 0;
    std::string kind;  ///< the component's class ("Selector", "Sequence", ...)
    uint64_t sourceClips = 0;
    std::string reason;  ///< why, in words a user understands
};
