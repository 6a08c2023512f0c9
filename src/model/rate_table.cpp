#include "model/rate_table.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace {

struct RateRow {
    int64_t thousandths;
    RateTimebase rate;
};

constexpr std::array<RateRow, 8> kRateTable{{
    {23976, {true, 24}},
    {24000, {false, 24}},
    {25000, {false, 25}},
    {29970, {true, 30}},
    {30000, {false, 30}},
    {50000, {false, 50}},
    {59940, {true, 60}},
    {60000, {false, 60}},
}};

}  // namespace

std::optional<RateTimebase> LookupRate(int32_t numerator, int32_t denominator) {
    // An undefined rate matches no row: the caller writes empty elements for it.
    if (denominator == 0) {
        return std::nullopt;
    }
    const double rate = static_cast<double>(numerator) / static_cast<double>(denominator);
    const auto thousandths = static_cast<int64_t>(std::trunc(rate * 1000.0));
    for (const RateRow& row : kRateTable) {
        if (row.thousandths == thousandths) {
            return row.rate;
        }
    }
    return std::nullopt;
}

RateTimebase PortableRate(int32_t numerator, int32_t denominator) {
    if (const std::optional<RateTimebase> row = LookupRate(numerator, denominator)) {
        return *row;
    }
    // Exact in 64 bits: both parts are 32-bit, so no product below can overflow.
    int64_t num = numerator;
    int64_t den = denominator;
    if (den < 0) {
        num = -num;
        den = -den;
    }
    if (den == 0 || num <= 0) {
        return {false, 1};
    }
    constexpr int64_t kLargest = std::numeric_limits<int32_t>::max();
    // A whole rate is its own timebase: 48000/1 is also 48048*1000/1001, but is not NTSC.
    const bool whole = num % den == 0;
    if (!whole && (num * 1001) % (den * 1000) == 0 && num * 1001 / (den * 1000) <= kLargest) {
        return {true, static_cast<int32_t>(num * 1001 / (den * 1000))};
    }
    const int64_t rounded = (2 * num + den) / (2 * den);
    return {false, static_cast<int32_t>(std::clamp<int64_t>(rounded, 1, kLargest))};
}
