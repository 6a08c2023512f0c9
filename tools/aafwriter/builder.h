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
#include "aafwriter/composition.h"
#include "aafwriter/dictionary.h"
#include "aafwriter/ids.h"
#include "aafwriter/meta_dictionary.h"
#include "aafwriter/object.h"
#include "aafwriter/sound_summary.h"
#include "aafwriter/specs.h"

namespace tessel::aafwriter {

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

/// Reads an Int64 value stored in `object` (0 when absent).
std::int64_t ReadInt64(const Object& object, std::uint16_t pid);

}  // namespace tessel::aafwriter
