// Placeholder bodies until the object layer lands: every call fails cleanly.

#include "aaf/AAF.h"

namespace {
constexpr AAFRESULT kNotReady = AAFRESULT_NOT_INITIALIZED;
}

AAFRESULT IAAFObject::GetDefinition(std::shared_ptr<IAAFClassDef>& /*classDef*/) const {
    return kNotReady;
}
AAFRESULT IAAFFile::GetHeader(std::shared_ptr<IAAFHeader>& /*header*/) const {
    return kNotReady;
}
AAFRESULT IAAFFile::Close() {
    return kNotReady;
}
AAFRESULT IEnumAAFMobs::NextOne(std::shared_ptr<IAAFMob>& /*mob*/) {
    return kNotReady;
}
AAFRESULT IEnumAAFMobs::Reset() {
    return kNotReady;
}
AAFRESULT IEnumAAFParameters::NextOne(std::shared_ptr<IAAFParameter>& /*parameter*/) {
    return kNotReady;
}
AAFRESULT IEnumAAFParameters::Reset() {
    return kNotReady;
}
AAFRESULT IAAFHeader::GetMobs(const aafSearchCrit_t* /*criteria*/,
                              std::shared_ptr<IEnumAAFMobs>& /*mobs*/) const {
    return kNotReady;
}
AAFRESULT IAAFHeader::LookupMob(const aafMobID_t& /*mobID*/,
                                std::shared_ptr<IAAFMob>& /*mob*/) const {
    return kNotReady;
}
AAFRESULT IAAFHeader::CountMobs(aafMobKind_t /*kind*/, aafNumSlots_t& /*count*/) const {
    return kNotReady;
}
AAFRESULT IAAFHeader::CountIdentifications(aafUInt32& /*count*/) const {
    return kNotReady;
}
AAFRESULT IAAFHeader::GetLastIdentification(
    std::shared_ptr<IAAFIdentification>& /*identification*/) const {
    return kNotReady;
}
AAFRESULT IAAFEndian::GetStoredByteOrder(eAAFByteOrder_t& /*order*/) const {
    return kNotReady;
}
AAFRESULT IAAFEndian::GetNativeByteOrder(eAAFByteOrder_t& /*order*/) const {
    return kNotReady;
}
AAFRESULT IAAFIdentification::GetCompanyName(std::string& /*name*/) const {
    return kNotReady;
}
AAFRESULT IAAFIdentification::GetProductName(std::string& /*name*/) const {
    return kNotReady;
}
AAFRESULT IAAFIdentification::GetProductVersionString(std::string& /*version*/) const {
    return kNotReady;
}
AAFRESULT IAAFIdentification::GetProductVersion(aafProductVersion_t& /*version*/) const {
    return kNotReady;
}
AAFRESULT IAAFIdentification::GetPlatform(std::string& /*platform*/) const {
    return kNotReady;
}
AAFRESULT IAAFIdentification::GetDate(aafTimeStamp_t& /*date*/) const {
    return kNotReady;
}
AAFRESULT IAAFIdentification::GetProductID(aafUID_t& /*productID*/) const {
    return kNotReady;
}
AAFRESULT IAAFMob::GetMobID(aafMobID_t& /*mobID*/) const {
    return kNotReady;
}
AAFRESULT IAAFMob::GetName(std::string& /*name*/) const {
    return kNotReady;
}
AAFRESULT IAAFMob::CountSlots(aafNumSlots_t& /*count*/) const {
    return kNotReady;
}
AAFRESULT IAAFMob::GetSlotAt(aafUInt32 /*index*/, std::shared_ptr<IAAFMobSlot>& /*slot*/) const {
    return kNotReady;
}
AAFRESULT IAAFMob::LookupSlot(aafSlotID_t /*slotID*/,
                              std::shared_ptr<IAAFMobSlot>& /*slot*/) const {
    return kNotReady;
}
AAFRESULT IAAFSourceMob::GetEssenceDescriptor(
    std::shared_ptr<IAAFEssenceDescriptor>& /*descriptor*/) const {
    return kNotReady;
}
AAFRESULT IAAFMobSlot::GetName(std::string& /*name*/) const {
    return kNotReady;
}
AAFRESULT IAAFMobSlot::GetSegment(std::shared_ptr<IAAFSegment>& /*segment*/) const {
    return kNotReady;
}
AAFRESULT IAAFMobSlot::GetDataDef(std::shared_ptr<IAAFDataDef>& /*dataDef*/) const {
    return kNotReady;
}
AAFRESULT IAAFMobSlot::GetPhysicalNum(aafUInt32& /*number*/) const {
    return kNotReady;
}
AAFRESULT IAAFMobSlot::GetSlotID(aafSlotID_t& /*slotID*/) const {
    return kNotReady;
}
AAFRESULT IAAFTimelineMobSlot::GetEditRate(aafRational_t& /*editRate*/) const {
    return kNotReady;
}
AAFRESULT IAAFTimelineMobSlot::GetOrigin(aafPosition_t& /*origin*/) const {
    return kNotReady;
}
AAFRESULT IAAFEventMobSlot::GetEditRate(aafRational_t& /*editRate*/) const {
    return kNotReady;
}
AAFRESULT IAAFComponent::GetLength(aafLength_t& /*length*/) const {
    return kNotReady;
}
AAFRESULT IAAFComponent::GetDataDef(std::shared_ptr<IAAFDataDef>& /*dataDef*/) const {
    return kNotReady;
}
AAFRESULT IAAFSequence::CountComponents(aafUInt32& /*count*/) const {
    return kNotReady;
}
AAFRESULT IAAFSequence::GetComponentAt(aafUInt32 /*index*/,
                                       std::shared_ptr<IAAFComponent>& /*component*/) const {
    return kNotReady;
}
AAFRESULT IAAFSourceReference::GetSourceID(aafMobID_t& /*sourceID*/) const {
    return kNotReady;
}
AAFRESULT IAAFSourceReference::GetSourceMobSlotID(aafSlotID_t& /*slotID*/) const {
    return kNotReady;
}
AAFRESULT IAAFSourceClip::GetSourceReference(aafSourceRef_t& /*sourceRef*/) const {
    return kNotReady;
}
AAFRESULT IAAFTimecode::GetTimecode(aafTimecode_t& /*timecode*/) const {
    return kNotReady;
}
AAFRESULT IAAFTransition::GetCutPoint(aafPosition_t& /*cutPoint*/) const {
    return kNotReady;
}
AAFRESULT IAAFTransition::GetOperationGroup(std::shared_ptr<IAAFOperationGroup>& /*group*/) const {
    return kNotReady;
}
AAFRESULT IAAFOperationGroup::GetOperationDefinition(
    std::shared_ptr<IAAFOperationDef>& /*operationDef*/) const {
    return kNotReady;
}
AAFRESULT IAAFOperationGroup::GetParameters(
    std::shared_ptr<IEnumAAFParameters>& /*parameters*/) const {
    return kNotReady;
}
AAFRESULT IAAFOperationGroup::CountParameters(aafUInt32& /*count*/) const {
    return kNotReady;
}
AAFRESULT IAAFOperationGroup::CountSourceSegments(aafUInt32& /*count*/) const {
    return kNotReady;
}
AAFRESULT IAAFOperationGroup::GetInputSegmentAt(aafUInt32 /*index*/,
                                                std::shared_ptr<IAAFSegment>& /*segment*/) const {
    return kNotReady;
}
AAFRESULT IAAFParameter::GetParameterDefinition(
    std::shared_ptr<IAAFParameterDef>& /*parameterDef*/) const {
    return kNotReady;
}
AAFRESULT IAAFConstantValue::GetTypeDefinition(std::shared_ptr<IAAFTypeDef>& /*typeDef*/) const {
    return kNotReady;
}
AAFRESULT IAAFConstantValue::GetValueBufLen(aafUInt32& /*length*/) const {
    return kNotReady;
}
AAFRESULT IAAFConstantValue::GetValue(std::span<aafUInt8> /*buffer*/,
                                      aafUInt32& /*bytesRead*/) const {
    return kNotReady;
}
AAFRESULT IAAFDefObject::GetAUID(aafUID_t& /*auid*/) const {
    return kNotReady;
}
AAFRESULT IAAFDefObject::GetName(std::string& /*name*/) const {
    return kNotReady;
}
AAFRESULT IAAFDataDef::IsPictureKind(aafBoolean_t& /*result*/) const {
    return kNotReady;
}
AAFRESULT IAAFDataDef::IsSoundKind(aafBoolean_t& /*result*/) const {
    return kNotReady;
}
AAFRESULT IAAFDataDef::IsTimecodeKind(aafBoolean_t& /*result*/) const {
    return kNotReady;
}
AAFRESULT IAAFDataDef::IsMatteKind(aafBoolean_t& /*result*/) const {
    return kNotReady;
}
AAFRESULT IAAFDataDef::IsPictureWithMatteKind(aafBoolean_t& /*result*/) const {
    return kNotReady;
}
AAFRESULT IAAFDataDef::IsEdgecodeKind(aafBoolean_t& /*result*/) const {
    return kNotReady;
}
AAFRESULT IAAFDataDef::IsAuxiliaryKind(aafBoolean_t& /*result*/) const {
    return kNotReady;
}
AAFRESULT IAAFDataDef::IsDescriptiveMetadataKind(aafBoolean_t& /*result*/) const {
    return kNotReady;
}
AAFRESULT IAAFMetaDefinition::GetAUID(aafUID_t& /*auid*/) const {
    return kNotReady;
}
AAFRESULT IAAFMetaDefinition::GetName(std::string& /*name*/) const {
    return kNotReady;
}
AAFRESULT IAAFClassDef::GetParent(std::shared_ptr<IAAFClassDef>& /*parent*/) const {
    return kNotReady;
}
AAFRESULT IAAFEssenceDescriptor::CountLocators(aafUInt32& /*count*/) const {
    return kNotReady;
}
AAFRESULT IAAFEssenceDescriptor::GetLocatorAt(aafUInt32 /*index*/,
                                              std::shared_ptr<IAAFLocator>& /*locator*/) const {
    return kNotReady;
}
AAFRESULT IAAFFileDescriptor::GetSampleRate(aafRational_t& /*rate*/) const {
    return kNotReady;
}
AAFRESULT IAAFFileDescriptor::GetLength(aafLength_t& /*length*/) const {
    return kNotReady;
}
AAFRESULT IAAFWAVEDescriptor::GetSummaryBufferSize(aafUInt32& /*size*/) const {
    return kNotReady;
}
AAFRESULT IAAFWAVEDescriptor::GetSummary(std::span<aafUInt8> /*buffer*/) const {
    return kNotReady;
}
AAFRESULT IAAFDigitalImageDescriptor::GetStoredView(aafUInt32& /*storedHeight*/,
                                                    aafUInt32& /*storedWidth*/) const {
    return kNotReady;
}
AAFRESULT IAAFDigitalImageDescriptor::GetImageAspectRatio(aafRational_t& /*ratio*/) const {
    return kNotReady;
}
AAFRESULT IAAFDigitalImageDescriptor::GetVideoLineMapSize(aafUInt32& /*count*/) const {
    return kNotReady;
}
AAFRESULT IAAFDigitalImageDescriptor::GetVideoLineMap(std::span<aafInt32> /*entries*/) const {
    return kNotReady;
}
AAFRESULT IAAFLocator::GetPath(std::string& /*path*/) const {
    return kNotReady;
}
AAFRESULT IAAFTextLocator::GetName(std::string& /*name*/) const {
    return kNotReady;
}
AAFRESULT IAAFHeader::GetIdentificationAt(aafUInt32 /*index*/,
                                          std::shared_ptr<IAAFIdentification>& /*id*/) const {
    return kNotReady;
}

class IAAFFile::Impl {};
class IEnumAAFMobs::Impl {};
class IEnumAAFParameters::Impl {};
IAAFFile::IAAFFile(std::shared_ptr<Impl> impl) : impl_(std::move(impl)) {}
IAAFFile::~IAAFFile() = default;
IEnumAAFMobs::IEnumAAFMobs(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
IEnumAAFMobs::~IEnumAAFMobs() = default;
IEnumAAFParameters::IEnumAAFParameters(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
IEnumAAFParameters::~IEnumAAFParameters() = default;

namespace tessel::aaf {
bool NodeIsA(const ObjectNode& /*node*/, ClassId /*cls*/) {
    return false;
}
}  // namespace tessel::aaf

AAFRESULT AAFLoad(const char* /*dllName*/) {
    return AAFRESULT_SUCCESS;
}
AAFRESULT AAFUnload() {
    return AAFRESULT_SUCCESS;
}
AAFRESULT AAFFileOpenExistingRead(const std::string& /*utf8Path*/, aafUInt32 /*modeFlags*/,
                                  std::shared_ptr<IAAFFile>& /*file*/) {
    return AAFRESULT_NOT_AAF_FILE;
}

std::strong_ordering CompareMobIDs(const aafMobID_t& /*a*/, const aafMobID_t& /*b*/) {
    return std::strong_ordering::equal;
}
std::strong_ordering CompareUIDs(const aafUID_t& /*a*/, const aafUID_t& /*b*/) {
    return std::strong_ordering::equal;
}
