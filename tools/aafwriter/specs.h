#pragma once

// What the builder is asked to make: file options, media, tracks. Plain values with defaults, so
// that designated initializers name only what differs.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "aaf/aaf_types.h"
#include "aafwriter/object.h"

namespace tessel::aafwriter {

/// What a slot or component carries; selects the DataDefinition it refers to.
enum class DataKind {
    kPicture,
    kSound,
    kTimecode,
    kLegacyPicture,
    kLegacySound,
    kLegacyTimecode,
    kMatte,
    kPictureWithMatte,
    kEdgecode,
    kDescriptiveMetadata,
    kAuxiliary,
    kDataEssence,
};

aafUID_t DataDefinitionId(DataKind kind);

/// One entry of the header's IdentificationList: who wrote the file.
struct Identification {
    std::string company = "Tessel";
    std::string product = "Tessel AAF fixture writer";
    std::string versionString = "0.1.0";
    aafProductVersion_t version{0, 1, 0, 0, 1};
    std::string platform = "Linux";
    aafUID_t productId{
        0x5445534C, 0x4146, 0x0001, {0x06, 0x0E, 0x2B, 0x34, 0x7F, 0x7F, 0x2A, 0x80}};
};

struct BuilderOptions {
    std::uint32_t sectorSize = 512;  ///< 512 or 4096
    ByteOrder byteOrder = ByteOrder::kLittle;
    std::vector<Identification> identifications{Identification{}};
    /// Every time stamp the file needs; fixed so that the same edit gives the same bytes.
    aafTimeStamp_t timestamp{2024, 1, 1, 12, 0, 0, 0};
};

/// A picture essence descriptor: CDCI (the usual) or RGBA. Absent optionals are not written.
struct PictureFormat {
    bool rgba = false;
    std::optional<std::uint32_t> storedWidth = 1920;
    std::optional<std::uint32_t> storedHeight = 1080;
    std::optional<aafRational_t> aspectRatio = aafRational_t{16, 9};
    /// Video line map (0, 1, 2, 3 … entries); absent when not set.
    std::optional<std::vector<std::int32_t>> lineMap = std::vector<std::int32_t>{21, 584};
    std::uint8_t frameLayout = 1;  ///< 0 full frame, 1 separate fields, 2 single field, 3 mixed
};

enum class SoundDescriptorKind { kWave, kAifc, kPcm };

/// A sound essence descriptor. WAVE and AIFC carry a summary (the file's header), built from
/// the fields unless `summary` gives the bytes.
struct SoundFormat {
    SoundDescriptorKind kind = SoundDescriptorKind::kWave;
    std::uint16_t channels = 2;
    std::uint32_t sampleRate = 48000;
    std::uint16_t bitsPerSample = 16;
    std::optional<std::vector<std::uint8_t>> summary{};
};

enum class LocatorKind { kNetwork, kText, kNone };

/// A media file as EDIUS exports it: a master mob whose slots (one picture slot and/or sound
/// slots) each hold a SourceClip leading to a source mob with the file's descriptor and locator.
struct MediaSpec {
    std::optional<std::string> name{};  ///< master and source mob name; absent: not written
    std::string path{};                 ///< the locator's text (EDIUS: a plain Windows path)
    LocatorKind locator = LocatorKind::kNetwork;
    aafRational_t editRate{25, 1};
    std::int64_t length = 1500;  ///< media length in edit units (1 makes a still)
    std::optional<PictureFormat> picture = PictureFormat{};
    int soundSlots = 0;
    SoundFormat sound{};
    /// Name of every master slot; when not set, the file name of `path`. "Color Matte" and
    /// "Bars and Tone" make generators.
    std::optional<std::string> slotName{};
    bool legacyDataDefinitions = false;
};

/// What `AddMedia` created.
struct MediaRef {
    aafMobID_t masterId{};
    Object* master = nullptr;
    std::uint32_t pictureSlot = 0;  ///< 0 when there is no picture slot
    std::vector<std::uint32_t> soundSlots{};
    std::vector<aafMobID_t> sourceIds{};  ///< the source mobs, picture first
};

/// Slot settings of a track; absent optionals are not written.
struct TrackSpec {
    aafRational_t editRate{25, 1};
    std::optional<std::uint32_t> physicalNumber{};
    std::optional<std::string> name{};
    std::optional<std::uint32_t> slotId{};  ///< default: the next free id of the mob
};

/// A point of a VaryingValue.
struct ControlPointSpec {
    aafRational_t time{0, 1};
    aafRational_t value{1, 1};
};

}  // namespace tessel::aafwriter
