#include "model/rate_table.h"

#include <array>
#include <cmath>

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
