#pragma once

#include <cstdint>
#include <optional>

/// The interchange form of a frame rate: whole frames per second and the 1000/1001 flag.
struct RateTimebase {
    bool ntsc;
    int32_t timebase;
};

/// The table row for an edit rate, matched exactly at its truncated thousandths
/// (30000/1001 and 2997/100 both give NTSC 30). None for rates outside the table and for a
/// zero denominator.
std::optional<RateTimebase> LookupRate(int32_t numerator, int32_t denominator);

/// The rate as the portable form writes it, never empty: the table row when there is one,
/// otherwise whole frames per second rounded to nearest (halves up), with "ntsc" exactly when
/// the rate is n*1000/1001 and not whole (timebase n then). A rate that is undefined or below one
/// frame per second gives timebase 1, which no importer divides by zero with.
RateTimebase PortableRate(int32_t numerator, int32_t denominator);
