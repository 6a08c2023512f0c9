#include "aafwriter/builder.h"

#include <algorithm>

#include "aafwriter/aaf_file_writer.h"

namespace tessel::aafwriter {
namespace {

// Usage_TopLevel, the usage code SDK writers give the compositions a user sees as sequences.
constexpr aafUID_t kUsageTopLevel = {
    0x0D010102, 0x0101, 0x0700, {0x06, 0x0E, 0x2B, 0x34, 0x04, 0x01, 0x01, 0x01}};

bool IsTransition(const Object& component) {
    return component.classId() == classes::kTransition;
}

std::string FileNameOf(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

DataKind PictureKind(bool legacy) {
    return legacy ? DataKind::kLegacyPicture : DataKind::kPicture;
}
DataKind SoundKind(bool legacy) {
    return legacy ? DataKind::kLegacySound : DataKind::kSound;
}

bool IsSoundKind(DataKind kind) {
    return kind == DataKind::kSound || kind == DataKind::kLegacySound;
}

}  // namespace

aafUID_t DataDefinitionId(DataKind kind) {
    switch (kind) {
        case DataKind::kPicture:
            return datadefs::kPicture;
        case DataKind::kSound:
            return datadefs::kSound;
        case DataKind::kTimecode:
            return datadefs::kTimecode;
        case DataKind::kLegacyPicture:
            return datadefs::kLegacyPicture;
        case DataKind::kLegacySound:
            return datadefs::kLegacySound;
        case DataKind::kLegacyTimecode:
            return datadefs::kLegacyTimecode;
        case DataKind::kMatte:
            return datadefs::kMatte;
        case DataKind::kPictureWithMatte:
            return datadefs::kPictureWithMatte;
        case DataKind::kEdgecode:
            return datadefs::kEdgecode;
        case DataKind::kDescriptiveMetadata:
            return datadefs::kDescriptiveMetadata;
        case DataKind::kAuxiliary:
            return datadefs::kAuxiliary;
        case DataKind::kDataEssence:
            return datadefs::kDataEssence;
    }
    return datadefs::kUnknown;
}

std::int64_t ReadInt64(const Object& object, std::uint16_t pid) {
    const Property* p = object.Find(pid);
    if (p == nullptr || p->value.size() != 8) {
        return 0;
    }
    std::uint64_t v = 0;
    for (int i = 0; i < 8; ++i) {
        const std::size_t at = object.byteOrder() == ByteOrder::kLittle
                                   ? static_cast<std::size_t>(7 - i)
                                   : static_cast<std::size_t>(i);
        v = (v << 8) | p->value[at];
    }
    return static_cast<std::int64_t>(v);
}

// ---------------------------------------------------------------- AafBuilder

AafBuilder::AafBuilder(BuilderOptions options) : options_(std::move(options)) {
    const ByteOrder order = options_.byteOrder;
    header_ = std::make_unique<Object>(classes::kHeader, order);
    header_->SetInt16(pids::kByteOrder, order == ByteOrder::kLittle ? 0x4949 : 0x4D4D);
    header_->SetTimeStamp(pids::kLastModified, options_.timestamp);
    content_ = &header_->SetChild(pids::kContent, MakeObject(classes::kContentStorage));
    header_->SetChild(pids::kDictionary, MakeObject(classes::kDictionary));
    header_->SetData(pids::kVersion, {1, 1});
    for (const Identification& id : options_.identifications) {
        auto ident = MakeObject(classes::kIdentification);
        ident->SetString(pids::kCompanyName, id.company);
        ident->SetString(pids::kProductName, id.product);
        ident->SetData(pids::kProductVersion, ident->Bytes()
                                                  .U16(id.version.major)
                                                  .U16(id.version.minor)
                                                  .U16(id.version.tertiary)
                                                  .U16(id.version.patchLevel)
                                                  .U8(id.version.type)
                                                  .Take());
        ident->SetString(pids::kProductVersionString, id.versionString);
        ident->SetAuid(pids::kProductID, id.productId);
        ident->SetTimeStamp(pids::kDate, options_.timestamp);
        ident->SetString(pids::kPlatform, id.platform);
        ident->SetAuid(pids::kGenerationAUID, id.productId);
        header_->AppendChild(pids::kIdentificationList, std::move(ident));
    }
    header_->SetUInt32(pids::kObjectModelVersion, 1);
    // An empty Mobs set is still written: readers expect ContentStorage.Mobs.
    content_->SetEmptySet(pids::kMobs, pids::kMobID, pids::kMobID);
}

AafBuilder::~AafBuilder() = default;

aafMobID_t AafBuilder::NewMobId() {
    ++mobCounter_;
    aafMobID_t id{};
    static constexpr std::uint8_t kLabel[12] = {0x06, 0x0A, 0x2B, 0x34, 0x01, 0x01,
                                                0x01, 0x05, 0x01, 0x01, 0x0F, 0x20};
    std::copy(std::begin(kLabel), std::end(kLabel), std::begin(id.SMPTELabel));
    id.length = 0x13;
    // Data1 holds the counter so that its stored (little-endian) bytes read big-endian: the
    // SDK's byte order of mob ids is then the order of creation.
    const std::uint32_t c = mobCounter_;
    id.material.Data1 = (c >> 24) | ((c >> 8) & 0xFF00u) | ((c << 8) & 0xFF0000u) | (c << 24);
    id.material.Data2 = 0x5445;
    id.material.Data3 = 0x5353;
    static constexpr std::uint8_t kNode[8] = {0x06, 0x0E, 0x2B, 0x34, 0x7F, 0x7F, 0x2A, 0x80};
    std::copy(std::begin(kNode), std::end(kNode), std::begin(id.material.Data4));
    return id;
}

Object& AafBuilder::AddMob(std::unique_ptr<Object> mob) {
    return content_->AddToSet(pids::kMobs, std::move(mob), pids::kMobID, pids::kMobID);
}

std::unique_ptr<Object> AafBuilder::MakeObject(const aafUID_t& classId) const {
    return std::make_unique<Object>(classId, options_.byteOrder);
}

std::unique_ptr<Object> AafBuilder::MakeMob(const aafUID_t& classId, const aafMobID_t& id,
                                            const std::optional<std::string>& name) const {
    auto mob = MakeObject(classId);
    mob->SetMobId(pids::kMobID, id);
    if (name) {
        mob->SetString(pids::kMobName, *name);
    }
    mob->SetTimeStamp(pids::kMobLastModified, options_.timestamp);
    mob->SetTimeStamp(pids::kCreationTime, options_.timestamp);
    // Slots is required; start it empty so that a mob without slots still has the vector.
    mob->SetEmptyVector(pids::kSlots);
    return mob;
}

aafMobID_t AafBuilder::AddSourceMob(const std::optional<std::string>& name,
                                    std::unique_ptr<Object> descriptor, DataKind kind,
                                    aafRational_t editRate, std::int64_t length) {
    const aafMobID_t id = NewMobId();
    auto mob = MakeMob(classes::kSourceMob, id, name);
    TrackSpec spec;
    spec.editRate = editRate;
    spec.physicalNumber = 1;
    mob->AppendChild(pids::kSlots,
                     MakeTimelineSlot(1, MakeSourceClip(kind, length, aafMobID_t{}, 0, 0), spec));
    if (descriptor) {
        mob->SetChild(pids::kEssenceDescription, std::move(descriptor));
    }
    AddMob(std::move(mob));
    return id;
}

MediaRef AafBuilder::AddMedia(const MediaSpec& spec) {
    MediaRef ref;
    const std::string slotName = spec.slotName.value_or(FileNameOf(spec.path));
    struct SlotPlan {
        DataKind kind;
        aafMobID_t source;
    };
    std::vector<SlotPlan> plan;
    auto describe = [&](std::unique_ptr<Object> descriptor) {
        if (spec.locator != LocatorKind::kNone) {
            descriptor->AppendChild(pids::kLocators, MakeLocator(spec.locator, spec.path));
        }
        return descriptor;
    };
    if (spec.picture) {
        const DataKind kind = PictureKind(spec.legacyDataDefinitions);
        const aafMobID_t source = AddSourceMob(
            spec.name, describe(MakePictureDescriptor(*spec.picture, spec.editRate, spec.length)),
            kind, spec.editRate, spec.length);
        plan.push_back({kind, source});
        ref.sourceIds.push_back(source);
    }
    for (int i = 0; i < spec.soundSlots; ++i) {
        const DataKind kind = SoundKind(spec.legacyDataDefinitions);
        const aafMobID_t source = AddSourceMob(
            spec.name, describe(MakeSoundDescriptor(spec.sound, spec.editRate, spec.length)), kind,
            spec.editRate, spec.length);
        plan.push_back({kind, source});
        ref.sourceIds.push_back(source);
    }
    ref.masterId = NewMobId();
    auto master = MakeMob(classes::kMasterMob, ref.masterId, spec.name);
    std::uint32_t slotId = 0;
    for (const SlotPlan& p : plan) {
        ++slotId;
        TrackSpec track;
        track.editRate = spec.editRate;
        track.name = slotName;
        track.physicalNumber = slotId;
        master->AppendChild(
            pids::kSlots,
            MakeTimelineSlot(slotId, MakeSourceClip(p.kind, spec.length, p.source, 1, 0), track));
        if (IsSoundKind(p.kind)) {
            ref.soundSlots.push_back(slotId);
        } else {
            ref.pictureSlot = slotId;
        }
    }
    ref.master = &AddMob(std::move(master));
    return ref;
}

Composition AafBuilder::AddComposition(const std::optional<std::string>& name,
                                       std::optional<aafMobID_t> id) {
    const aafMobID_t mobId = id.value_or(NewMobId());
    auto mob = MakeMob(classes::kCompositionMob, mobId, name);
    mob->SetAuid(pids::kUsageCode, kUsageTopLevel);
    Object& stored = AddMob(std::move(mob));
    return Composition(this, &stored, mobId);
}

std::unique_ptr<Object> AafBuilder::MakeSourceClip(DataKind kind,
                                                   std::optional<std::int64_t> length,
                                                   const aafMobID_t& source, std::uint32_t slotId,
                                                   std::optional<std::int64_t> startTime) const {
    auto clip = MakeObject(classes::kSourceClip);
    clip->SetWeakReference(pids::kComponentDataDefinition, WeakTarget::kDataDefinitions,
                           DataDefinitionId(kind));
    if (length) {
        clip->SetInt64(pids::kComponentLength, *length);
    }
    if (startTime) {
        clip->SetInt64(pids::kStartTime, *startTime);
    }
    clip->SetMobId(pids::kSourceID, source);
    clip->SetUInt32(pids::kSourceMobSlotID, slotId);
    return clip;
}

std::unique_ptr<Object> AafBuilder::MakeFiller(DataKind kind,
                                               std::optional<std::int64_t> length) const {
    auto filler = MakeObject(classes::kFiller);
    filler->SetWeakReference(pids::kComponentDataDefinition, WeakTarget::kDataDefinitions,
                             DataDefinitionId(kind));
    if (length) {
        filler->SetInt64(pids::kComponentLength, *length);
    }
    return filler;
}

std::unique_ptr<Object> AafBuilder::MakeSequence(DataKind kind) const {
    auto sequence = MakeObject(classes::kSequence);
    sequence->SetWeakReference(pids::kComponentDataDefinition, WeakTarget::kDataDefinitions,
                               DataDefinitionId(kind));
    sequence->SetInt64(pids::kComponentLength, 0);
    sequence->SetEmptyVector(pids::kComponents);
    return sequence;
}

std::unique_ptr<Object> AafBuilder::MakeTimecode(std::int64_t start, std::uint16_t fps, bool drop,
                                                 std::optional<std::int64_t> length,
                                                 DataKind kind) const {
    auto timecode = MakeObject(classes::kTimecode);
    timecode->SetWeakReference(pids::kComponentDataDefinition, WeakTarget::kDataDefinitions,
                               DataDefinitionId(kind));
    if (length) {
        timecode->SetInt64(pids::kComponentLength, *length);
    }
    timecode->SetInt64(pids::kTimecodeStart, start);
    timecode->SetUInt16(pids::kTimecodeFPS, fps);
    timecode->SetBoolean(pids::kTimecodeDrop, drop);
    return timecode;
}

std::unique_ptr<Object> AafBuilder::MakeTransition(DataKind kind, std::int64_t length,
                                                   std::int64_t cutPoint,
                                                   std::unique_ptr<Object> operationGroup) const {
    auto transition = MakeObject(classes::kTransition);
    transition->SetWeakReference(pids::kComponentDataDefinition, WeakTarget::kDataDefinitions,
                                 DataDefinitionId(kind));
    transition->SetInt64(pids::kComponentLength, length);
    if (operationGroup) {
        transition->SetChild(pids::kTransitionOperationGroup, std::move(operationGroup));
    }
    transition->SetInt64(pids::kCutPoint, cutPoint);
    return transition;
}

std::unique_ptr<Object> AafBuilder::MakeOperationGroup(DataKind kind,
                                                       std::optional<std::int64_t> length,
                                                       const aafUID_t& operation) const {
    auto group = MakeObject(classes::kOperationGroup);
    group->SetWeakReference(pids::kComponentDataDefinition, WeakTarget::kDataDefinitions,
                            DataDefinitionId(kind));
    if (length) {
        group->SetInt64(pids::kComponentLength, *length);
    }
    group->SetWeakReference(pids::kOperation, WeakTarget::kOperationDefinitions, operation);
    return group;
}

std::unique_ptr<Object> AafBuilder::MakeTimelineSlot(std::uint32_t slotId,
                                                     std::unique_ptr<Object> segment,
                                                     const TrackSpec& spec) const {
    auto slot = MakeObject(classes::kTimelineMobSlot);
    slot->SetUInt32(pids::kSlotID, slotId);
    if (spec.name) {
        slot->SetString(pids::kSlotName, *spec.name);
    }
    if (segment) {
        slot->SetChild(pids::kSegment, std::move(segment));
    }
    if (spec.physicalNumber) {
        slot->SetUInt32(pids::kPhysicalTrackNumber, *spec.physicalNumber);
    }
    slot->SetRational(pids::kEditRate, spec.editRate);
    slot->SetInt64(pids::kOrigin, 0);
    return slot;
}

std::unique_ptr<Object> AafBuilder::MakeEventSlot(std::uint32_t slotId,
                                                  std::unique_ptr<Object> segment,
                                                  aafRational_t editRate) const {
    auto slot = MakeObject(classes::kEventMobSlot);
    slot->SetUInt32(pids::kSlotID, slotId);
    if (segment) {
        slot->SetChild(pids::kSegment, std::move(segment));
    }
    slot->SetRational(pids::kEventEditRate, editRate);
    return slot;
}

std::unique_ptr<Object> AafBuilder::MakeStaticSlot(std::uint32_t slotId,
                                                   std::unique_ptr<Object> segment) const {
    auto slot = MakeObject(classes::kStaticMobSlot);
    slot->SetUInt32(pids::kSlotID, slotId);
    if (segment) {
        slot->SetChild(pids::kSegment, std::move(segment));
    }
    return slot;
}

std::unique_ptr<Object> AafBuilder::MakeLocator(LocatorKind kind, const std::string& text) const {
    if (kind == LocatorKind::kText) {
        auto locator = MakeObject(classes::kTextLocator);
        locator->SetString(pids::kTextLocatorName, text);
        return locator;
    }
    auto locator = MakeObject(classes::kNetworkLocator);
    locator->SetString(pids::kURLString, text);
    return locator;
}

std::unique_ptr<Object> AafBuilder::MakePictureDescriptor(const PictureFormat& format,
                                                          aafRational_t editRate,
                                                          std::int64_t length) const {
    auto d = MakeObject(format.rgba ? classes::kRGBADescriptor : classes::kCDCIDescriptor);
    if (format.rgba) {
        d->SetData(pids::kPixelLayout, {'R', 8, 'G', 8, 'B', 8, 'A', 8, 0, 0, 0, 0, 0, 0, 0, 0});
    } else {
        d->SetUInt32(pids::kComponentWidth, 8);
        d->SetUInt32(pids::kHorizontalSubsampling, 2);
    }
    d->SetUInt8(pids::kFrameLayout, format.frameLayout);
    if (format.storedWidth) {
        d->SetUInt32(pids::kStoredWidth, *format.storedWidth);
    }
    if (format.storedHeight) {
        d->SetUInt32(pids::kStoredHeight, *format.storedHeight);
    }
    if (format.aspectRatio) {
        d->SetRational(pids::kImageAspectRatio, *format.aspectRatio);
    }
    if (format.lineMap) {
        d->SetInt32Array(pids::kVideoLineMap, *format.lineMap);
    }
    d->SetRational(pids::kSampleRate, editRate);
    d->SetInt64(pids::kDescriptorLength, length);
    return d;
}

std::unique_ptr<Object> AafBuilder::MakeSoundDescriptor(const SoundFormat& format,
                                                        aafRational_t editRate,
                                                        std::int64_t length) const {
    std::unique_ptr<Object> d;
    switch (format.kind) {
        case SoundDescriptorKind::kWave:
            d = MakeObject(classes::kWAVEDescriptor);
            d->SetData(pids::kWaveSummary,
                       format.summary.value_or(
                           WaveSummary(format.channels, format.sampleRate, format.bitsPerSample)));
            break;
        case SoundDescriptorKind::kAifc:
            d = MakeObject(classes::kAIFCDescriptor);
            d->SetData(pids::kAifcSummary,
                       format.summary.value_or(AifcSummary(format.channels, format.sampleRate,
                                                           format.bitsPerSample, 0)));
            break;
        case SoundDescriptorKind::kPcm: {
            d = MakeObject(classes::kPCMDescriptor);
            const std::uint32_t blockAlign = format.channels * ((format.bitsPerSample + 7u) / 8u);
            d->SetRational(pids::kAudioSamplingRate,
                           {static_cast<std::int32_t>(format.sampleRate), 1});
            d->SetUInt32(pids::kChannels, format.channels);
            d->SetUInt32(pids::kQuantizationBits, format.bitsPerSample);
            d->SetUInt16(pids::kBlockAlign, static_cast<std::uint16_t>(blockAlign));
            d->SetUInt32(pids::kAverageBPS, blockAlign * format.sampleRate);
            break;
        }
    }
    d->SetRational(pids::kSampleRate, editRate);
    d->SetInt64(pids::kDescriptorLength, length);
    return d;
}

Object& AafBuilder::AppendComponent(Object& sequence, std::unique_ptr<Object> component) {
    if (sequence.Has(pids::kComponentLength) && component->Has(pids::kComponentLength)) {
        // Wrapping, as stored values do: tests build lengths at the ends of the range.
        const auto length =
            static_cast<std::uint64_t>(ReadInt64(*component, pids::kComponentLength));
        const auto total = static_cast<std::uint64_t>(ReadInt64(sequence, pids::kComponentLength));
        sequence.SetInt64(
            pids::kComponentLength,
            static_cast<std::int64_t>(IsTransition(*component) ? total - length : total + length));
    }
    return sequence.AppendChild(pids::kComponents, std::move(component));
}

Object& AafBuilder::AddInput(Object& operationGroup, std::unique_ptr<Object> segment) {
    return operationGroup.AppendChild(pids::kInputSegments, std::move(segment));
}

Object& AafBuilder::AddConstantParameter(Object& operationGroup, const aafUID_t& parameter,
                                         const aafUID_t& type,
                                         std::vector<std::uint8_t> value) const {
    auto constant = MakeObject(classes::kConstantValue);
    constant->SetIndirect(pids::kConstantValue, type, value);
    constant->SetAuid(pids::kParameterDefinition, parameter);
    // The SDK stores Parameters as a set keyed by each parameter's definition; the index names
    // the DefinitionObject key pid (0x1B01), as real files do.
    return operationGroup.AddToSet(pids::kParameters, std::move(constant), 0x1B01,
                                   pids::kParameterDefinition);
}

Object& AafBuilder::AddRationalParameter(Object& operationGroup, const aafUID_t& parameter,
                                         aafRational_t value) const {
    return AddConstantParameter(operationGroup, parameter, types::kRational,
                                ValueBytes(options_.byteOrder).Rational(value).Take());
}

Object& AafBuilder::AddInt32Parameter(Object& operationGroup, const aafUID_t& parameter,
                                      std::int32_t value) const {
    return AddConstantParameter(operationGroup, parameter, types::kInt32,
                                ValueBytes(options_.byteOrder).I32(value).Take());
}

Object& AafBuilder::AddVaryingParameter(Object& operationGroup, const aafUID_t& parameter,
                                        const aafUID_t& interpolation,
                                        const std::vector<ControlPointSpec>& points) const {
    auto varying = MakeObject(classes::kVaryingValue);
    varying->SetAuid(pids::kParameterDefinition, parameter);
    varying->SetWeakReference(pids::kInterpolation, WeakTarget::kInterpolationDefinitions,
                              interpolation);
    varying->SetEmptyVector(pids::kPointList);
    for (const ControlPointSpec& p : points) {
        auto point = MakeObject(classes::kControlPoint);
        point->SetIndirect(pids::kControlPointValue, types::kRational,
                           ValueBytes(options_.byteOrder).Rational(p.value).Take());
        point->SetRational(pids::kControlPointTime, p.time);
        varying->AppendChild(pids::kPointList, std::move(point));
    }
    return operationGroup.AddToSet(pids::kParameters, std::move(varying), 0x1B01,
                                   pids::kParameterDefinition);
}

void AafBuilder::Finish() {
    header_->Remove(pids::kDictionary);
    auto dictionary = BuildDictionary(*header_, catalogue_, options_.byteOrder);
    // The Dictionary sits right after Content, where SDK writers put it.
    header_->SetChild(pids::kDictionary, std::move(dictionary));
    metaDictionary_ = BuildMetaDictionary(*header_, extensions_, options_.byteOrder);
}

cfb::WriteStatus AafBuilder::Write(const std::string& path) {
    Finish();
    return WriteAafFile(*metaDictionary_, *header_, {options_.sectorSize, options_.byteOrder},
                        path);
}

std::vector<std::uint8_t> AafBuilder::ToBytes(cfb::WriteStatus* status) {
    Finish();
    return AafFileBytes(*metaDictionary_, *header_, {options_.sectorSize, options_.byteOrder},
                        status);
}

}  // namespace tessel::aafwriter
