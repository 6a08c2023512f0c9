#pragma once

// Reading integers of a given byte order from unaligned bytes.

#include <cstdint>

namespace tessel::aaf {

inline std::uint16_t LoadLE16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t LoadLE32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline std::uint64_t LoadLE64(const std::uint8_t* p) {
    return static_cast<std::uint64_t>(LoadLE32(p)) |
           (static_cast<std::uint64_t>(LoadLE32(p + 4)) << 32);
}
inline std::uint16_t LoadBE16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}
inline std::uint32_t LoadBE32(const std::uint8_t* p) {
    return (static_cast<std::uint32_t>(p[0]) << 24) | (static_cast<std::uint32_t>(p[1]) << 16) |
           (static_cast<std::uint32_t>(p[2]) << 8) | static_cast<std::uint32_t>(p[3]);
}
inline std::uint64_t LoadBE64(const std::uint8_t* p) {
    return (static_cast<std::uint64_t>(LoadBE32(p)) << 32) | LoadBE32(p + 4);
}

/// Integers in the byte order of an AAF object ('L' or 'B').
struct ByteOrder {
    bool big = false;

    std::uint16_t U16(const std::uint8_t* p) const { return big ? LoadBE16(p) : LoadLE16(p); }
    std::uint32_t U32(const std::uint8_t* p) const { return big ? LoadBE32(p) : LoadLE32(p); }
    std::uint64_t U64(const std::uint8_t* p) const { return big ? LoadBE64(p) : LoadLE64(p); }
    std::int16_t I16(const std::uint8_t* p) const { return static_cast<std::int16_t>(U16(p)); }
    std::int32_t I32(const std::uint8_t* p) const { return static_cast<std::int32_t>(U32(p)); }
    std::int64_t I64(const std::uint8_t* p) const { return static_cast<std::int64_t>(U64(p)); }
};

}  // namespace tessel::aaf
