#pragma once

#include <cstdint>

// Edit-unit arithmetic of the writers. Values come straight from the AAF file, so sums and
// products wrap around in 64 bits, as two's-complement hardware does, instead of being undefined.

inline int64_t WrappingAdd(int64_t a, int64_t b) {
    return static_cast<int64_t>(static_cast<uint64_t>(a) + static_cast<uint64_t>(b));
}

inline int64_t WrappingSubtract(int64_t a, int64_t b) {
    return static_cast<int64_t>(static_cast<uint64_t>(a) - static_cast<uint64_t>(b));
}

inline int64_t WrappingMultiply(int64_t a, int64_t b) {
    return static_cast<int64_t>(static_cast<uint64_t>(a) * static_cast<uint64_t>(b));
}

/// `value` × `numerator` ÷ `denominator`, the product first, the quotient truncated toward zero.
/// An undefined speed (denominator 0) leaves the value unscaled.
inline int64_t ScaledBySpeed(int64_t value, int32_t numerator, int32_t denominator) {
    if (denominator == 0) {
        return value;
    }
    const int64_t product = WrappingMultiply(value, numerator);
    if (denominator == -1) {
        return WrappingSubtract(0, product);
    }
    return product / denominator;
}
