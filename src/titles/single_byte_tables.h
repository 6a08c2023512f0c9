#pragma once

#include <cstddef>

/// The upper half (bytes 0x80 to 0xFF) of a single-byte encoding: the UTF-16 unit of each
/// byte, 0 for a byte the encoding leaves undefined. The lower half is ASCII.
struct SingleByteTable {
    const char* name;
    char16_t upper[128];
};

extern const SingleByteTable kSingleByteTables[];
extern const size_t kSingleByteTableCount;
