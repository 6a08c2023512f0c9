#pragma once

// Value types of the AAF API, named and laid out as the AAF SDK names them so that code written
// against the SDK reads the same here.

#include <compare>
#include <cstdint>

using aafInt8 = std::int8_t;
using aafInt16 = std::int16_t;
using aafInt32 = std::int32_t;
using aafInt64 = std::int64_t;
using aafUInt8 = std::uint8_t;
using aafUInt16 = std::uint16_t;
using aafUInt32 = std::uint32_t;
using aafUInt64 = std::uint64_t;

using aafBoolean_t = bool;
inline constexpr aafBoolean_t kAAFTrue = true;
inline constexpr aafBoolean_t kAAFFalse = false;

using aafLength_t = aafInt64;    ///< a length in edit units
using aafPosition_t = aafInt64;  ///< a position in edit units
using aafFrameOffset_t = aafInt64;
using aafSlotID_t = aafUInt32;
using aafNumSlots_t = aafUInt32;
using aafUInt32Count_t = aafUInt32;

/// A 16-byte AAF identifier (class, type, definition), in the Windows GUID field layout.
struct aafUID_t {
    aafUInt32 Data1;
    aafUInt16 Data2;
    aafUInt16 Data3;
    aafUInt8 Data4[8];

    friend constexpr bool operator==(const aafUID_t&, const aafUID_t&) = default;
};

using aafClassID_t = aafUID_t;

/// A material identifier (SMPTE UMID) in the SDK's 32-byte layout.
struct aafMobID_t {
    aafUInt8 SMPTELabel[12];
    aafUInt8 length;
    aafUInt8 instanceHigh;
    aafUInt8 instanceMid;
    aafUInt8 instanceLow;
    aafUID_t material;

    friend constexpr bool operator==(const aafMobID_t&, const aafMobID_t&) = default;
};

/// The SDK's order of mob ids: bytes of the little-endian in-memory form compared as unsigned.
std::strong_ordering CompareMobIDs(const aafMobID_t& a, const aafMobID_t& b);
/// The same order for AUIDs (16 bytes, Data1..Data3 little-endian).
std::strong_ordering CompareUIDs(const aafUID_t& a, const aafUID_t& b);

struct aafRational_t {
    aafInt32 numerator;
    aafInt32 denominator;

    friend constexpr bool operator==(const aafRational_t&, const aafRational_t&) = default;
};

struct aafSourceRef_t {
    aafMobID_t sourceID;
    aafSlotID_t sourceSlotID;
    aafPosition_t startTime;
};

enum aafDropType_t : aafInt32 {
    kAAFTcNonDrop = 0,
    kAAFTcDrop = 1,
};

struct aafTimecode_t {
    aafFrameOffset_t startFrame;
    aafDropType_t drop;
    aafUInt16 fps;
};

struct aafProductVersion_t {
    aafUInt16 major;
    aafUInt16 minor;
    aafUInt16 tertiary;
    aafUInt16 patchLevel;
    aafUInt8 type;  ///< release type (0 unknown, 1 released, 2 debug, 3 patched, 4 beta, 5 private)
};

struct aafTimeStamp_t {
    aafInt16 year;
    aafUInt8 month;
    aafUInt8 day;
    aafUInt8 hour;
    aafUInt8 minute;
    aafUInt8 second;
    aafUInt8 fraction;  ///< hundredths of a second
};

enum eAAFByteOrder_t : aafInt32 {
    kAAFByteOrderLittle = 0,
    kAAFByteOrderBig = 1,
};

enum aafMobKind_t : aafInt32 {
    kAAFCompMob = 0,
    kAAFMasterMob = 1,
    kAAFFileMob = 2,
    kAAFTapeMob = 3,
    kAAFFilmMob = 4,
    kAAFPrimaryMob = 5,
    kAAFAllMob = 6,
    kAAFPhysicalMob = 7,
};

enum aafSearchTag_t : aafInt32 {
    kAAFNoSearch = 0,
    kAAFByMobID = 1,
    kAAFByMobKind = 2,
    kAAFByName = 3,  ///< not supported by this reader (GetMobs answers AAFRESULT_INVALID_PARAM)
    kAAFByClass = 4,
};

/// Mob search criteria for IAAFHeader::GetMobs. Zero-initialise, then set `searchTag` and the tag.
struct aafSearchCrit_t {
    aafSearchTag_t searchTag;
    union {
        aafMobID_t mobID;
        aafMobKind_t mobKind;
        aafClassID_t objClass;
    } tags;
};
