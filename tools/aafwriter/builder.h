#pragma once

// Writing an AAF file for a test, in a few lines:
//
//   AafBuilder b;                                   // 512-byte sectors, little-endian
//   MediaRef clip = b.AddMedia({.name = "Interview", .path = "D:\\Media\\interview.mov",
//                               .soundSlots = 2});  // master mob + source mobs (CDCI, WAVE)
//   Composition seq = b.AddComposition("Sequence 1");
//   seq.AddTimecodeSlot(90000, 25, false, 250);     // start 01:00:00:00, length 250
//   Track v1 = seq.AddPictureTrack({.physicalNumber = 1, .name = "V1"});
//   v1.AddClip(clip, 100, /*sourceStart=*/10);
//   v1.AddTransition(10, 5);
//   v1.AddSpeedClip(clip, 50, 0, {-1, 1});          // reversed
//   Track a1 = seq.AddSoundTrack({.physicalNumber = 1});
//   a1.AddClip(clip, 100, 10, /*soundIndex=*/0);
//   b.Write(path);                                  // or b.ToBytes()
//
// Every Add/Make call returns the object it made; change or remove its properties (pids::…)
// to get the odd shapes real files show.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "aaf/compound_file_writer.h"
#include "aafwriter/dictionary.h"
#include "aafwriter/ids.h"
#include "aafwriter/meta_dictionary.h"
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

class AafBuilder;

/// A TimelineMobSlot of a composition whose segment is a Sequence; components are appended in
/// timeline order and the Sequence's length follows (transitions overlap their neighbours).
class Track {
  public:
    Object& slot() const { return *slot_; }
    Object& sequence() const { return *sequence_; }
    DataKind kind() const { return kind_; }

    /// A SourceClip of `media`: its picture slot on a picture track, else sound slot `soundIndex`.
    Object& AddClip(const MediaRef& media, std::int64_t length, std::int64_t sourceStart = 0,
                    std::size_t soundIndex = 0);
    Object& AddSourceClip(const aafMobID_t& mob, std::uint32_t slotId, std::int64_t length,
                          std::int64_t sourceStart = 0);
    Object& AddFiller(std::int64_t length);
    /// A Transition with a dissolve OperationGroup of the track's kind.
    Object& AddTransition(std::int64_t length, std::int64_t cutPoint);
    /// An OperationGroup (speed control) with a constant Rational SpeedRatio over one clip.
    Object& AddSpeedClip(const MediaRef& media, std::int64_t length, std::int64_t sourceStart,
                         aafRational_t speed, std::size_t soundIndex = 0);
    Object& Append(std::unique_ptr<Object> component);

  private:
    friend class Composition;
    Track(AafBuilder* builder, Object* slot, Object* sequence, DataKind kind)
        : builder_(builder), slot_(slot), sequence_(sequence), kind_(kind) {}

    AafBuilder* builder_;
    Object* slot_;
    Object* sequence_;
    DataKind kind_;
};

/// A CompositionMob being built.
class Composition {
  public:
    Object& mob() const { return *mob_; }
    aafMobID_t id() const { return id_; }

    /// A timeline slot holding a Timecode segment; `length` absent leaves Length out.
    Object& AddTimecodeSlot(std::int64_t start, std::uint16_t fps, bool drop,
                            std::optional<std::int64_t> length, const TrackSpec& spec = {},
                            DataKind kind = DataKind::kTimecode);
    Track AddTrack(DataKind kind, const TrackSpec& spec = {});
    Track AddPictureTrack(const TrackSpec& spec = {}) { return AddTrack(DataKind::kPicture, spec); }
    Track AddSoundTrack(const TrackSpec& spec = {}) { return AddTrack(DataKind::kSound, spec); }
    /// Any slot (event, static, a timeline slot with another segment).
    Object& AddSlot(std::unique_ptr<Object> slot);
    std::uint32_t NextSlotId() const;

  private:
    friend class AafBuilder;
    Composition(AafBuilder* builder, Object* mob, aafMobID_t id)
        : builder_(builder), mob_(mob), id_(id) {}

    AafBuilder* builder_;
    Object* mob_;
    aafMobID_t id_;
};

/// Builds an AAF file in memory and writes it. High-level calls make EDIUS-shaped media and
/// compositions; the `Make…` calls and the returned objects allow any other shape (remove a
/// property, change a class, add an extension class, …).
class AafBuilder {
  public:
    explicit AafBuilder(BuilderOptions options = {});
    ~AafBuilder();
    AafBuilder(const AafBuilder&) = delete;
    AafBuilder& operator=(const AafBuilder&) = delete;

    const BuilderOptions& options() const { return options_; }
    Object& header() { return *header_; }
    Object& contentStorage() { return *content_; }

    // --- mobs ---
    /// A new mob id, unique in this file; ids ascend (in the SDK's order) as they are made.
    aafMobID_t NewMobId();
    /// Puts `mob` into ContentStorage.Mobs (it must carry MobID 0x4401).
    Object& AddMob(std::unique_ptr<Object> mob);
    /// A mob of `classId` with id, optional name, time stamps and an empty slot list.
    std::unique_ptr<Object> MakeMob(const aafUID_t& classId, const aafMobID_t& id,
                                    const std::optional<std::string>& name) const;

    MediaRef AddMedia(const MediaSpec& spec);
    Composition AddComposition(const std::optional<std::string>& name,
                               std::optional<aafMobID_t> id = std::nullopt);
    /// A source mob with one timeline slot (id 1) holding a SourceClip with the all-zero id.
    aafMobID_t AddSourceMob(const std::optional<std::string>& name,
                            std::unique_ptr<Object> descriptor, DataKind kind,
                            aafRational_t editRate, std::int64_t length);

    // --- objects ---
    std::unique_ptr<Object> MakeObject(const aafUID_t& classId) const;
    std::unique_ptr<Object> MakeSourceClip(DataKind kind, std::optional<std::int64_t> length,
                                           const aafMobID_t& source, std::uint32_t slotId,
                                           std::optional<std::int64_t> startTime) const;
    std::unique_ptr<Object> MakeFiller(DataKind kind, std::optional<std::int64_t> length) const;
    /// An empty Sequence with Length 0; `AppendComponent` keeps the length up to date.
    std::unique_ptr<Object> MakeSequence(DataKind kind) const;
    std::unique_ptr<Object> MakeTimecode(std::int64_t start, std::uint16_t fps, bool drop,
                                         std::optional<std::int64_t> length,
                                         DataKind kind = DataKind::kTimecode) const;
    std::unique_ptr<Object> MakeTransition(DataKind kind, std::int64_t length,
                                           std::int64_t cutPoint,
                                           std::unique_ptr<Object> operationGroup) const;
    std::unique_ptr<Object> MakeOperationGroup(DataKind kind, std::optional<std::int64_t> length,
                                               const aafUID_t& operation) const;
    std::unique_ptr<Object> MakeTimelineSlot(std::uint32_t slotId, std::unique_ptr<Object> segment,
                                             const TrackSpec& spec) const;
    std::unique_ptr<Object> MakeEventSlot(std::uint32_t slotId, std::unique_ptr<Object> segment,
                                          aafRational_t editRate) const;
    std::unique_ptr<Object> MakeStaticSlot(std::uint32_t slotId,
                                           std::unique_ptr<Object> segment) const;
    std::unique_ptr<Object> MakeLocator(LocatorKind kind, const std::string& text) const;
    std::unique_ptr<Object> MakePictureDescriptor(const PictureFormat& format,
                                                  aafRational_t editRate,
                                                  std::int64_t length) const;
    std::unique_ptr<Object> MakeSoundDescriptor(const SoundFormat& format, aafRational_t editRate,
                                                std::int64_t length) const;

    /// Appends to a Sequence's Components and adjusts its Length (when it has one): segments
    /// add their length, transitions take theirs off.
    static Object& AppendComponent(Object& sequence, std::unique_ptr<Object> component);
    static Object& AddInput(Object& operationGroup, std::unique_ptr<Object> segment);
    /// A ConstantValue parameter whose indirect value has type `type` and bytes `value`.
    Object& AddConstantParameter(Object& operationGroup, const aafUID_t& parameter,
                                 const aafUID_t& type, std::vector<std::uint8_t> value) const;
    Object& AddRationalParameter(Object& operationGroup, const aafUID_t& parameter,
                                 aafRational_t value) const;
    Object& AddInt32Parameter(Object& operationGroup, const aafUID_t& parameter,
                              std::int32_t value) const;
    Object& AddVaryingParameter(Object& operationGroup, const aafUID_t& parameter,
                                const aafUID_t& interpolation,
                                const std::vector<ControlPointSpec>& points) const;

    // --- definitions ---
    void DeclareClass(ExtensionClass extension) { extensions_.push_back(std::move(extension)); }
    void DefineOperation(OperationDefinition definition) {
        catalogue_.operations.push_back(std::move(definition));
    }
    void DefineParameter(ParameterDefinition definition) {
        catalogue_.parameters.push_back(std::move(definition));
    }

    // --- output ---
    cfb::WriteStatus Write(const std::string& path);
    std::vector<std::uint8_t> ToBytes(cfb::WriteStatus* status = nullptr);

  private:
    void Finish();

    BuilderOptions options_;
    std::unique_ptr<Object> header_;
    Object* content_ = nullptr;
    std::unique_ptr<Object> metaDictionary_;
    std::vector<ExtensionClass> extensions_;
    DefinitionCatalogue catalogue_;
    std::uint32_t mobCounter_ = 0;
};

/// A RIFF/WAVE header of 44 bytes for `format` (PCM, empty data chunk).
std::vector<std::uint8_t> WaveSummary(std::uint16_t channels, std::uint32_t sampleRate,
                                      std::uint16_t bitsPerSample);
/// An AIFF-C header (FORM/AIFC with FVER and COMM chunks) for `format`.
std::vector<std::uint8_t> AifcSummary(std::uint16_t channels, std::uint32_t sampleRate,
                                      std::uint16_t bitsPerSample, std::uint32_t frames);
/// Reads an Int64 value stored in `object` (0 when absent).
std::int64_t ReadInt64(const Object& object, std::uint16_t pid);

}  // namespace tessel::aafwriter
