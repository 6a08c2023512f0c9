#pragma once

// The AAF interfaces, named and behaving as the AAF SDK's COM interfaces do (the calls a reader of
// compositions needs). Counted references are std::shared_ptr; out-parameters are references;
// names and paths come back whole as UTF-8. An interface object is a cheap view of one object of
// the file; several views may share one object, and every view keeps the file's data alive.
// Not thread-safe: use one file and its objects from one thread at a time.

#include <memory>
#include <span>
#include <string>

#include "aaf/aaf_result.h"
#include "aaf/aaf_types.h"
#include "aaf/class_id.h"

namespace tessel::aaf {

class ObjectNode;
using NodePtr = std::shared_ptr<ObjectNode>;

/// Common base of every interface: the object it shows.
class InterfaceBase {
  public:
    explicit InterfaceBase(NodePtr node) : node_(std::move(node)) {}
    const NodePtr& Node() const { return node_; }

  protected:
    NodePtr node_;
};

/// True if the object answers to the interface whose class is `cls` (its effective class is `cls`
/// or a descendant).
bool NodeIsA(const ObjectNode& node, ClassId cls);

}  // namespace tessel::aaf

class IAAFHeader;
class IAAFMob;
class IAAFMobSlot;
class IAAFSegment;
class IAAFComponent;
class IAAFDataDef;
class IAAFParameter;
class IAAFParameterDef;
class IAAFOperationDef;
class IAAFTypeDef;
class IAAFClassDef;
class IAAFEssenceDescriptor;
class IAAFLocator;
class IAAFIdentification;
class IAAFOperationGroup;

/// Asks `from` for interface I (the SDK's QueryInterface): AAFRESULT_SUCCESS and `out` set when the
/// object's effective class is I's class or a descendant of it, else AAFRESULT_NO_INTERFACE and
/// `out` untouched.
template <class I, class From>
AAFRESULT QueryInterface(const std::shared_ptr<From>& from, std::shared_ptr<I>& out) {
    if (!from || !from->Node()) {
        return AAFRESULT_NULL_PARAM;
    }
    if (!tessel::aaf::NodeIsA(*from->Node(), I::kClass)) {
        return AAFRESULT_NO_INTERFACE;
    }
    out = std::make_shared<I>(from->Node());
    return AAFRESULT_SUCCESS;
}

/// Any interchange object.
class IAAFObject : public tessel::aaf::InterfaceBase {
  public:
    static constexpr tessel::aaf::ClassId kClass = tessel::aaf::ClassId::kInterchangeObject;
    using InterfaceBase::InterfaceBase;

    /// The object's class definition (its stored class, which may be an extension class).
    AAFRESULT GetDefinition(std::shared_ptr<IAAFClassDef>& classDef) const;
};

class IAAFFile {
  public:
    class Impl;
    explicit IAAFFile(std::shared_ptr<Impl> impl);
    ~IAAFFile();

    AAFRESULT GetHeader(std::shared_ptr<IAAFHeader>& header) const;
    /// Ends the use of the file; GetHeader fails afterwards. Objects still held stay readable.
    AAFRESULT Close();
    /// A hint between long stretches of work: the pages of a mapped file that were read leave
    /// resident memory, and are read from the file again when an object needs them. Nothing
    /// else changes (not part of the SDK's interface).
    AAFRESULT ReleaseResidentPages() const;

  private:
    std::shared_ptr<Impl> impl_;
};

class IEnumAAFMobs {
  public:
    class Impl;
    explicit IEnumAAFMobs(std::unique_ptr<Impl> impl);
    ~IEnumAAFMobs();

    /// The next mob; AAFRESULT_NO_MORE_OBJECTS after the last. Mobs that cannot be read are
    /// passed over.
    AAFRESULT NextOne(std::shared_ptr<IAAFMob>& mob);
    AAFRESULT Reset();

  private:
    std::unique_ptr<Impl> impl_;
};

class IEnumAAFParameters {
  public:
    class Impl;
    explicit IEnumAAFParameters(std::unique_ptr<Impl> impl);
    ~IEnumAAFParameters();

    /// The next parameter; AAFRESULT_NO_MORE_OBJECTS after the last.
    AAFRESULT NextOne(std::shared_ptr<IAAFParameter>& parameter);
    AAFRESULT Reset();

  private:
    std::unique_ptr<Impl> impl_;
};

class IAAFHeader : public IAAFObject {
  public:
    static constexpr tessel::aaf::ClassId kClass = tessel::aaf::ClassId::kHeader;
    using IAAFObject::IAAFObject;

    /// Mobs of ContentStorage in ascending MobID order; `criteria` null means all mobs.
    AAFRESULT GetMobs(const aafSearchCrit_t* criteria, std::shared_ptr<IEnumAAFMobs>& mobs) const;
    AAFRESULT LookupMob(const aafMobID_t& mobID, std::shared_ptr<IAAFMob>& mob) const;
    AAFRESULT CountMobs(aafMobKind_t kind, aafNumSlots_t& count) const;
    AAFRESULT CountIdentifications(aafUInt32& count) const;
    AAFRESULT GetIdentificationAt(aafUInt32 index,
                                  std::shared_ptr<IAAFIdentification>& identification) const;
    /// The last Identification: the application that wrote the file last.
    AAFRESULT GetLastIdentification(std::shared_ptr<IAAFIdentification>& identification) const;
};

/// Answered by the Header.
class IAAFEndian : public tessel::aaf::InterfaceBase {
  public:
    static constexpr tessel::aaf::ClassId kClass = tessel::aaf::ClassId::kHeader;
    using InterfaceBase::InterfaceBase;

    /// Big only if Header.ByteOrder is 'MM'.
    AAFRESULT GetStoredByteOrder(eAAFByteOrder_t& order) const;
    /// The byte order of this machine, never the file's.
    AAFRESULT GetNativeByteOrder(eAAFByteOrder_t& order) const;
};

class IAAFIdentification : public IAAFObject {
  public:
    static constexpr tessel::aaf::ClassId kClass = tessel::aaf::ClassId::kIdentification;
    using IAAFObject::IAAFObject;

    AAFRESULT GetCompanyName(std::string& name) const;
    AAFRESULT GetProductName(std::string& name) const;
    AAFRESULT GetProductVersionString(std::string& version) const;
    AAFRESULT GetProductVersion(aafProductVersion_t& version) const;
    AAFRESULT GetPlatform(std::string& platform) const;
    AAFRESULT GetDate(aafTimeStamp_t& date) const;
    AAFRESULT GetProductID(aafUID_t& productID) const;
};

class IAAFMob : public IAAFObject {
  public:
    static constexpr tessel::aaf::ClassId kClass = tessel::aaf::ClassId::kMob;
    using IAAFObject::IAAFObject;

    AAFRESULT GetMobID(aafMobID_t& mobID) const;
    /// AAFRESULT_PROP_NOT_PRESENT (name untouched) when the mob has no name.
    AAFRESULT GetName(std::string& name) const;
    AAFRESULT CountSlots(aafNumSlots_t& count) const;
    AAFRESULT GetSlotAt(aafUInt32 index, std::shared_ptr<IAAFMobSlot>& slot) const;
    /// The first slot with this id, in slot order.
    AAFRESULT LookupSlot(aafSlotID_t slotID, std::shared_ptr<IAAFMobSlot>& slot) const;
};

class IAAFCompositionMob : public IAAFMob {
  public:
    static constexpr tessel::aaf::ClassId kClass = tessel::aaf::ClassId::kCompositionMob;
    using IAAFMob::IAAFMob;
};

class IAAFMasterMob : public IAAFMob {
  public:
    static constexpr tessel::aaf::ClassId kClass = tessel::aaf::ClassId::kMasterMob;
    using IAAFMob::IAAFMob;
};

class IAAFSourceMob : public IAAFMob {
  public:
    static constexpr tessel::aaf::ClassId kClass = tessel::aaf::ClassId::kSourceMob;
    using IAAFMob::IAAFMob;

    /// Succeeds and leaves `descriptor` untouched when the mob has none (as the SDK does).
    AAFRESULT GetEssenceDescriptor(std::shared_ptr<IAAFEssenceDescriptor>& descriptor) const;
};

class IAAFMobSlot : public IAAFObject {
  public:
    static constexpr tessel::aaf::ClassId kClass = tessel::aaf::ClassId::kMobSlot;
    using IAAFObject::IAAFObject;

    AAFRESULT GetName(std::string& name) const;
    AAFRESULT GetSegment(std::shared_ptr<IAAFSegment>& segment) const;
    /// The data definition of the slot's segment.
    AAFRESULT GetDataDef(std::shared_ptr<IAAFDataDef>& dataDef) const;
    AAFRESULT GetPhysicalNum(aafUInt32& number) const;
    AAFRESULT GetSlotID(aafSlotID_t& slotID) const;
};

class IAAFTimelineMobSlot : public IAAFMobSlot {
  public:
    static constexpr tessel::aaf::ClassId kClass = tessel::aaf::ClassId::kTimelineMobSlot;
    using IAAFMobSlot::IAAFMobSlot;

    AAFRESULT GetEditRate(aafRational_t& editRate) const;
    AAFRESULT GetOrigin(aafPosition_t& origin) const;
};

class IAAFEventMobSlot : public IAAFMobSlot {
  public:
    static constexpr tessel::aaf::ClassId kClass = tessel::aaf::ClassId::kEventMobSlot;
    using IAAFMobSlot::IAAFMobSlot;

    AAFRESULT GetEditRate(aafRational_t& editRate) const;
};

class IAAFComponent : public IAAFObject {
  public:
    static constexpr tessel::aaf::ClassId kClass = tessel::aaf::ClassId::kComponent;
    using IAAFObject::IAAFObject;

    /// AAFRESULT_PROP_NOT_PRESENT when the component stores no length.
    AAFRESULT GetLength(aafLength_t& length) const;
    AAFRESULT GetDataDef(std::shared_ptr<IAAFDataDef>& dataDef) const;
};

class IAAFSegment : public IAAFComponent {
  public:
    static constexpr tessel::aaf::ClassId kClass = tessel::aaf::ClassId::kSegment;
    using IAAFComponent::IAAFComponent;
};

class IAAFSequence : public IAAFSegment {
  public:
    static constexpr tessel::aaf::ClassId kClass = tessel::aaf::ClassId::kSequence;
    using IAAFSegment::IAAFSegment;

    AAFRESULT CountComponents(aafUInt32& count) const;
    AAFRESULT GetComponentAt(aafUInt32 index, std::shared_ptr<IAAFComponent>& component) const;
};

class IAAFFiller : public IAAFSegment {
  public:
    static constexpr tessel::aaf::ClassId kClass = tessel::aaf::ClassId::kFiller;
    using IAAFSegment::IAAFSegment;
};

class IAAFSourceReference : public IAAFSegment {
  public:
    static constexpr tessel::aaf::ClassId kClass = tessel::aaf::ClassId::kSourceReference;
    using IAAFSegment::IAAFSegment;

    AAFRESULT GetSourceID(aafMobID_t& sourceID) const;
    AAFRESULT GetSourceMobSlotID(aafSlotID_t& slotID) const;
};

class IAAFSourceClip : public IAAFSourceReference {
  public:
    static constexpr tessel::aaf::ClassId kClass = tessel::aaf::ClassId::kSourceClip;
    using IAAFSourceReference::IAAFSourceReference;

    /// AAFRESULT_PROP_NOT_PRESENT when SourceID or StartTime is missing.
    AAFRESULT GetSourceReference(aafSourceRef_t& sourceRef) const;
};

class IAAFTimecode : public IAAFSegment {
  public:
    static constexpr tessel::aaf::ClassId kClass = tessel::aaf::ClassId::kTimecode;
    using IAAFSegment::IAAFSegment;

    AAFRESULT GetTimecode(aafTimecode_t& timecode) const;
};

class IAAFTransition : public IAAFComponent {
  public:
    static constexpr tessel::aaf::ClassId kClass = tessel::aaf::ClassId::kTransition;
    using IAAFComponent::IAAFComponent;

    AAFRESULT GetCutPoint(aafPosition_t& cutPoint) const;
    AAFRESULT GetOperationGroup(std::shared_ptr<IAAFOperationGroup>& group) const;
};

class IAAFOperationGroup : public IAAFSegment {
  public:
    static constexpr tessel::aaf::ClassId kClass = tessel::aaf::ClassId::kOperationGroup;
    using IAAFSegment::IAAFSegment;

    AAFRESULT GetOperationDefinition(std::shared_ptr<IAAFOperationDef>& operationDef) const;
    /// Parameters in ascending order of their definition AUID (stored bytes); empty if none.
    AAFRESULT GetParameters(std::shared_ptr<IEnumAAFParameters>& parameters) const;
    AAFRESULT CountParameters(aafUInt32& count) const;
    /// 0 when the group has no input segments.
    AAFRESULT CountSourceSegments(aafUInt32& count) const;
    AAFRESULT GetInputSegmentAt(aafUInt32 index, std::shared_ptr<IAAFSegment>& segment) const;
    /// The precomputed result of the operation, if the file has one.
    AAFRESULT GetRender(std::shared_ptr<IAAFSourceReference>& render) const;
};

class IAAFPulldown : public IAAFSegment {
  public:
    static constexpr tessel::aaf::ClassId kClass = tessel::aaf::ClassId::kPulldown;
    using IAAFSegment::IAAFSegment;

    AAFRESULT GetInputSegment(std::shared_ptr<IAAFSegment>& segment) const;
};

class IAAFNestedScope : public IAAFSegment {
  public:
    static constexpr tessel::aaf::ClassId kClass = tessel::aaf::ClassId::kNestedScope;
    using IAAFSegment::IAAFSegment;

    // Not in the SDK (which enumerates them): the scope's slots by index.
    AAFRESULT CountSegments(aafUInt32& count) const;
    AAFRESULT GetSegmentAt(aafUInt32 index, std::shared_ptr<IAAFSegment>& segment) const;
};

class IAAFSelector : public IAAFSegment {
  public:
    static constexpr tessel::aaf::ClassId kClass = tessel::aaf::ClassId::kSelector;
    using IAAFSegment::IAAFSegment;

    AAFRESULT GetSelectedSegment(std::shared_ptr<IAAFSegment>& segment) const;
    AAFRESULT GetNumAlternateSegments(aafInt32& count) const;
    /// Not in the SDK (which enumerates them): alternate `index`.
    AAFRESULT GetAlternateSegmentAt(aafUInt32 index, std::shared_ptr<IAAFSegment>& segment) const;
};

class IAAFEssenceGroup : public IAAFSegment {
  public:
    static constexpr tessel::aaf::ClassId kClass = tessel::aaf::ClassId::kEssenceGroup;
    using IAAFSegment::IAAFSegment;

    AAFRESULT CountChoices(aafUInt32& count) const;
    AAFRESULT GetChoiceAt(aafUInt32 index, std::shared_ptr<IAAFSegment>& choice) const;
};

class IAAFParameter : public IAAFObject {
  public:
    static constexpr tessel::aaf::ClassId kClass = tessel::aaf::ClassId::kParameter;
    using IAAFObject::IAAFObject;

    /// The definition from the dictionary; AAFRESULT_NO_MORE_OBJECTS if the dictionary lacks it.
    AAFRESULT GetParameterDefinition(std::shared_ptr<IAAFParameterDef>& parameterDef) const;
};

class IAAFConstantValue : public IAAFParameter {
  public:
    static constexpr tessel::aaf::ClassId kClass = tessel::aaf::ClassId::kConstantValue;
    using IAAFParameter::IAAFParameter;

    AAFRESULT GetTypeDefinition(std::shared_ptr<IAAFTypeDef>& typeDef) const;
    AAFRESULT GetValueBufLen(aafUInt32& length) const;
    /// Copies the value in host byte order. AAFRESULT_SMALLBUF if `buffer` is shorter than the
    /// value. As in the SDK, `bytesRead` is set to the size of `buffer`, not the value's length.
    AAFRESULT GetValue(std::span<aafUInt8> buffer, aafUInt32& bytesRead) const;
};

class IAAFVaryingValue : public IAAFParameter {
  public:
    static constexpr tessel::aaf::ClassId kClass = tessel::aaf::ClassId::kVaryingValue;
    using IAAFParameter::IAAFParameter;
};

class IAAFDefObject : public IAAFObject {
  public:
    static constexpr tessel::aaf::ClassId kClass = tessel::aaf::ClassId::kDefinitionObject;
    using IAAFObject::IAAFObject;

    AAFRESULT GetAUID(aafUID_t& auid) const;
    AAFRESULT GetName(std::string& name) const;
};

class IAAFDataDef : public IAAFDefObject {
  public:
    static constexpr tessel::aaf::ClassId kClass = tessel::aaf::ClassId::kDataDefinition;
    using IAAFDefObject::IAAFDefObject;

    // Each test compares the definition's AUID with the fixed AUIDs of its kind, as the SDK does.
    AAFRESULT IsPictureKind(aafBoolean_t& result) const;
    AAFRESULT IsSoundKind(aafBoolean_t& result) const;
    AAFRESULT IsTimecodeKind(aafBoolean_t& result) const;
    AAFRESULT IsMatteKind(aafBoolean_t& result) const;
    AAFRESULT IsPictureWithMatteKind(aafBoolean_t& result) const;
    AAFRESULT IsEdgecodeKind(aafBoolean_t& result) const;
    AAFRESULT IsAuxiliaryKind(aafBoolean_t& result) const;
    AAFRESULT IsDescriptiveMetadataKind(aafBoolean_t& result) const;
};

class IAAFParameterDef : public IAAFDefObject {
  public:
    static constexpr tessel::aaf::ClassId kClass = tessel::aaf::ClassId::kParameterDefinition;
    using IAAFDefObject::IAAFDefObject;
};

class IAAFOperationDef : public IAAFDefObject {
  public:
    static constexpr tessel::aaf::ClassId kClass = tessel::aaf::ClassId::kOperationDefinition;
    using IAAFDefObject::IAAFDefObject;
};

/// Class, property and type definitions.
class IAAFMetaDefinition : public tessel::aaf::InterfaceBase {
  public:
    static constexpr tessel::aaf::ClassId kClass = tessel::aaf::ClassId::kMetaDefinition;
    using InterfaceBase::InterfaceBase;

    AAFRESULT GetAUID(aafUID_t& auid) const;
    AAFRESULT GetName(std::string& name) const;
};

class IAAFTypeDef : public IAAFMetaDefinition {
  public:
    static constexpr tessel::aaf::ClassId kClass = tessel::aaf::ClassId::kTypeDefinition;
    using IAAFMetaDefinition::IAAFMetaDefinition;
};

class IAAFClassDef : public IAAFMetaDefinition {
  public:
    static constexpr tessel::aaf::ClassId kClass = tessel::aaf::ClassId::kClassDefinition;
    using IAAFMetaDefinition::IAAFMetaDefinition;

    /// The class's parent; fails with AAFRESULT_NO_MORE_OBJECTS for a root class.
    AAFRESULT GetParent(std::shared_ptr<IAAFClassDef>& parent) const;
};

class IAAFEssenceDescriptor : public IAAFObject {
  public:
    static constexpr tessel::aaf::ClassId kClass = tessel::aaf::ClassId::kEssenceDescriptor;
    using IAAFObject::IAAFObject;

    AAFRESULT CountLocators(aafUInt32& count) const;
    /// AAFRESULT_BADINDEX when there is no such locator (also when the descriptor has none).
    AAFRESULT GetLocatorAt(aafUInt32 index, std::shared_ptr<IAAFLocator>& locator) const;
};

class IAAFFileDescriptor : public IAAFEssenceDescriptor {
  public:
    static constexpr tessel::aaf::ClassId kClass = tessel::aaf::ClassId::kFileDescriptor;
    using IAAFEssenceDescriptor::IAAFEssenceDescriptor;

    AAFRESULT GetSampleRate(aafRational_t& rate) const;
    AAFRESULT GetLength(aafLength_t& length) const;
};

class IAAFWAVEDescriptor : public IAAFFileDescriptor {
  public:
    static constexpr tessel::aaf::ClassId kClass = tessel::aaf::ClassId::kWAVEDescriptor;
    using IAAFFileDescriptor::IAAFFileDescriptor;

    AAFRESULT GetSummaryBufferSize(aafUInt32& size) const;
    /// The raw RIFF/WAVE header; AAFRESULT_SMALLBUF if `buffer` is shorter than it.
    AAFRESULT GetSummary(std::span<aafUInt8> buffer) const;
};

class IAAFDigitalImageDescriptor : public IAAFFileDescriptor {
  public:
    static constexpr tessel::aaf::ClassId kClass = tessel::aaf::ClassId::kDigitalImageDescriptor;
    using IAAFFileDescriptor::IAAFFileDescriptor;

    /// Height first, as in the SDK.
    AAFRESULT GetStoredView(aafUInt32& storedHeight, aafUInt32& storedWidth) const;
    AAFRESULT GetImageAspectRatio(aafRational_t& ratio) const;
    /// Number of Int32 entries of the video line map (0 when absent).
    AAFRESULT GetVideoLineMapSize(aafUInt32& count) const;
    /// AAFRESULT_SMALLBUF if `entries` holds fewer than GetVideoLineMapSize elements.
    AAFRESULT GetVideoLineMap(std::span<aafInt32> entries) const;
};

class IAAFCDCIDescriptor : public IAAFDigitalImageDescriptor {
  public:
    static constexpr tessel::aaf::ClassId kClass = tessel::aaf::ClassId::kCDCIDescriptor;
    using IAAFDigitalImageDescriptor::IAAFDigitalImageDescriptor;
};

class IAAFRGBADescriptor : public IAAFDigitalImageDescriptor {
  public:
    static constexpr tessel::aaf::ClassId kClass = tessel::aaf::ClassId::kRGBADescriptor;
    using IAAFDigitalImageDescriptor::IAAFDigitalImageDescriptor;
};

class IAAFLocator : public IAAFObject {
  public:
    static constexpr tessel::aaf::ClassId kClass = tessel::aaf::ClassId::kLocator;
    using IAAFObject::IAAFObject;

    /// The URL of a NetworkLocator. A TextLocator has no path: AAFRESULT_ABSTRACT_CLASS.
    AAFRESULT GetPath(std::string& path) const;
};

class IAAFNetworkLocator : public IAAFLocator {
  public:
    static constexpr tessel::aaf::ClassId kClass = tessel::aaf::ClassId::kNetworkLocator;
    using IAAFLocator::IAAFLocator;
};

class IAAFTextLocator : public IAAFLocator {
  public:
    static constexpr tessel::aaf::ClassId kClass = tessel::aaf::ClassId::kTextLocator;
    using IAAFLocator::IAAFLocator;

    AAFRESULT GetName(std::string& name) const;
};

/// Kept for callers written against the SDK's loader: this reader is linked in, so both succeed.
AAFRESULT AAFLoad(const char* dllName);
AAFRESULT AAFUnload();

/// Opens an existing AAF file for reading. `modeFlags` must be 0. On failure `file` is untouched
/// and AafLastOpenError() tells what was wrong.
AAFRESULT AAFFileOpenExistingRead(const std::string& utf8Path, aafUInt32 modeFlags,
                                  std::shared_ptr<IAAFFile>& file);
