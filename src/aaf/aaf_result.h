#pragma once

// Result codes. Negative means failure. The AAFRESULT_* values below 0x8012F000 are the AAF SDK's;
// those from 0x8012F000 on are this reader's own, for failures the SDK reports through the platform
// (file system, structured storage). Every code has a sentence in AafResultText.

#include <cstdint>
#include <string>

using AAFRESULT = std::int32_t;

namespace tessel::aaf {
/// Turns the unsigned code as the SDK headers write it into an AAFRESULT.
constexpr AAFRESULT MakeResult(std::uint32_t code) {
    return static_cast<AAFRESULT>(code);
}
}  // namespace tessel::aaf

constexpr bool AAFRESULT_SUCCEEDED(AAFRESULT result) {
    return result >= 0;
}
constexpr bool AAFRESULT_FAILED(AAFRESULT result) {
    return result < 0;
}

inline constexpr AAFRESULT AAFRESULT_SUCCESS = 0;
inline constexpr AAFRESULT AAFRESULT_NOT_AAF_FILE = tessel::aaf::MakeResult(0x8012001D);
inline constexpr AAFRESULT AAFRESULT_SMALLBUF = tessel::aaf::MakeResult(0x8012006F);
inline constexpr AAFRESULT AAFRESULT_NULLOBJECT = tessel::aaf::MakeResult(0x801200C8);
inline constexpr AAFRESULT AAFRESULT_BADINDEX = tessel::aaf::MakeResult(0x801200C9);
inline constexpr AAFRESULT AAFRESULT_PROP_NOT_PRESENT = tessel::aaf::MakeResult(0x801200CF);
inline constexpr AAFRESULT AAFRESULT_OBJECT_NOT_FOUND = tessel::aaf::MakeResult(0x801200D6);
inline constexpr AAFRESULT AAFRESULT_SLOT_NOT_FOUND = tessel::aaf::MakeResult(0x80120102);
inline constexpr AAFRESULT AAFRESULT_MOB_NOT_FOUND = tessel::aaf::MakeResult(0x80120106);
inline constexpr AAFRESULT AAFRESULT_NO_MORE_OBJECTS = tessel::aaf::MakeResult(0x80120111);
inline constexpr AAFRESULT AAFRESULT_NULL_PARAM = tessel::aaf::MakeResult(0x80120164);
inline constexpr AAFRESULT AAFRESULT_NOT_INITIALIZED = tessel::aaf::MakeResult(0x80120167);
inline constexpr AAFRESULT AAFRESULT_ILLEGAL_VALUE = tessel::aaf::MakeResult(0x8012016A);
inline constexpr AAFRESULT AAFRESULT_INVALID_PARAM = tessel::aaf::MakeResult(0x8012016C);
inline constexpr AAFRESULT AAFRESULT_ABSTRACT_CLASS = tessel::aaf::MakeResult(0x801201CA);
/// COM's E_NOINTERFACE: the object does not answer to the interface asked for.
inline constexpr AAFRESULT AAFRESULT_NO_INTERFACE = tessel::aaf::MakeResult(0x80004002);

// This reader's own codes.
inline constexpr AAFRESULT AAFRESULT_FILE_NOT_FOUND = tessel::aaf::MakeResult(0x8012F001);
inline constexpr AAFRESULT AAFRESULT_ACCESS_DENIED = tessel::aaf::MakeResult(0x8012F002);
inline constexpr AAFRESULT AAFRESULT_IS_DIRECTORY = tessel::aaf::MakeResult(0x8012F003);
inline constexpr AAFRESULT AAFRESULT_READ_FAILED = tessel::aaf::MakeResult(0x8012F004);
inline constexpr AAFRESULT AAFRESULT_NOT_COMPOUND_FILE = tessel::aaf::MakeResult(0x8012F005);
inline constexpr AAFRESULT AAFRESULT_CORRUPT_CONTAINER = tessel::aaf::MakeResult(0x8012F006);
inline constexpr AAFRESULT AAFRESULT_CORRUPT_OBJECT = tessel::aaf::MakeResult(0x8012F007);
inline constexpr AAFRESULT AAFRESULT_FILE_CLOSED = tessel::aaf::MakeResult(0x8012F008);
inline constexpr AAFRESULT AAFRESULT_UNKNOWN_CLASS = tessel::aaf::MakeResult(0x8012F009);
inline constexpr AAFRESULT AAFRESULT_FILE_TOO_LARGE = tessel::aaf::MakeResult(0x8012F00A);

/// One sentence for `code`, never empty (unknown codes are named by their hex value).
std::string AafResultText(AAFRESULT code);

/// The full message of the last failed AAFFileOpenExistingRead in this process: the code's
/// sentence followed by what exactly was wrong (which structure, which sector...). Empty when the
/// last open succeeded or none was made.
std::string AafLastOpenError();
