// Components: sequences, source clips, timecodes, transitions, operation groups, parameters.

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <vector>

#include "aaf/AAF.h"
#include "aaf/api_support.h"
#include "aaf/definitions.h"

using tessel::aaf::NodePtr;
using tessel::aaf::ToView;
namespace pid = tessel::aaf::pid;

namespace {

constexpr std::size_t kIndirectHeader = 17;  // byte order + type AUID

}  // namespace

AAFRESULT IAAFComponent::GetLength(aafLength_t& length) const {
    return node_->ReadInt64(pid::kLength, length);
}

AAFRESULT IAAFComponent::GetDataDef(std::shared_ptr<IAAFDataDef>& dataDef) const {
    return tessel::aaf::ComponentDataDef(*node_, dataDef);
}

AAFRESULT IAAFSequence::CountComponents(aafUInt32& count) const {
    return node_->CountElements(pid::kComponents, count);
}

AAFRESULT IAAFSequence::GetComponentAt(aafUInt32 index,
                                       std::shared_ptr<IAAFComponent>& component) const {
    NodePtr node;
    const AAFRESULT result = node_->ReadElement(pid::kComponents, index, node);
    return ToView(result, std::move(node), component);
}

AAFRESULT IAAFSourceReference::GetSourceID(aafMobID_t& sourceID) const {
    return node_->ReadMobID(pid::kSourceID, sourceID);
}

AAFRESULT IAAFSourceReference::GetSourceMobSlotID(aafSlotID_t& slotID) const {
    return node_->ReadUInt32(pid::kSourceMobSlotID, slotID);
}

AAFRESULT IAAFSourceClip::GetSourceReference(aafSourceRef_t& sourceRef) const {
    aafSourceRef_t read{};
    AAFRESULT result = node_->ReadMobID(pid::kSourceID, read.sourceID);
    if (AAFRESULT_SUCCEEDED(result)) {
        result = node_->ReadUInt32(pid::kSourceMobSlotID, read.sourceSlotID);
    }
    if (AAFRESULT_SUCCEEDED(result)) {
        result = node_->ReadInt64(pid::kStartTime, read.startTime);
    }
    if (AAFRESULT_SUCCEEDED(result)) {
        sourceRef = read;
    }
    return result;
}

AAFRESULT IAAFTimecode::GetTimecode(aafTimecode_t& timecode) const {
    aafTimecode_t read{};
    aafUInt8 drop = 0;
    AAFRESULT result = node_->ReadInt64(pid::kTimecodeStart, read.startFrame);
    if (AAFRESULT_SUCCEEDED(result)) {
        result = node_->ReadUInt16(pid::kTimecodeFPS, read.fps);
    }
    if (AAFRESULT_SUCCEEDED(result)) {
        result = node_->ReadUInt8(pid::kTimecodeDrop, drop);
    }
    if (AAFRESULT_SUCCEEDED(result)) {
        // Drop frame only for a stored 1, as the SDK decides.
        read.drop = drop == 1 ? kAAFTcDrop : kAAFTcNonDrop;
        timecode = read;
    }
    return result;
}

AAFRESULT IAAFTransition::GetCutPoint(aafPosition_t& cutPoint) const {
    return node_->ReadInt64(pid::kCutPoint, cutPoint);
}

AAFRESULT IAAFTransition::GetOperationGroup(std::shared_ptr<IAAFOperationGroup>& group) const {
    NodePtr node;
    const AAFRESULT result = node_->ReadStrongRef(pid::kTransitionOperationGroup, node);
    return ToView(result, std::move(node), group);
}

AAFRESULT IAAFOperationGroup::GetOperationDefinition(
    std::shared_ptr<IAAFOperationDef>& operationDef) const {
    aafUID_t id{};
    AAFRESULT result = node_->ReadWeakRefKey(pid::kOperation, id);
    if (AAFRESULT_FAILED(result)) {
        return result;
    }
    NodePtr node;
    result = node_->File().LookupDefinition(pid::kOperationDefinitions, id, node);
    return ToView(result, std::move(node), operationDef);
}

class IEnumAAFParameters::Impl {
  public:
    NodePtr group;
    std::vector<aafUInt32> order;  // collection indexes in enumeration order
    std::size_t position = 0;
};

IEnumAAFParameters::IEnumAAFParameters(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
IEnumAAFParameters::~IEnumAAFParameters() = default;

AAFRESULT IEnumAAFParameters::NextOne(std::shared_ptr<IAAFParameter>& parameter) {
    if (impl_->position >= impl_->order.size()) {
        return AAFRESULT_NO_MORE_OBJECTS;
    }
    NodePtr node;
    const AAFRESULT result =
        impl_->group->ReadElement(pid::kParameters, impl_->order[impl_->position++], node);
    return ToView(result, std::move(node), parameter);
}

AAFRESULT IEnumAAFParameters::Reset() {
    impl_->position = 0;
    return AAFRESULT_SUCCESS;
}

namespace {

/// The parameters in the SDK's order: a set keyed by each parameter's definition AUID, walked in
/// ascending key order (bytes as stored in a little-endian file); a repeated key keeps the first.
/// Files store the property as a set; a vector is accepted too and ordered the same way.
AAFRESULT ParameterOrder(const tessel::aaf::ObjectNode& group, std::vector<aafUInt32>& order) {
    aafUInt32 count = 0;
    AAFRESULT result = group.CountElements(pid::kParameters, count);
    if (AAFRESULT_FAILED(result)) {
        return result;
    }
    std::vector<std::pair<std::array<std::uint8_t, 16>, aafUInt32>> keyed;
    keyed.reserve(count);
    for (aafUInt32 i = 0; i < count; ++i) {
        std::span<const std::uint8_t> key;
        aafUID_t definition{};
        result = group.ReadSetKey(pid::kParameters, i, key);
        if (AAFRESULT_SUCCEEDED(result) && key.size() == 16) {
            definition = tessel::aaf::DecodeAUID(key.data(), group.Order());
        } else {
            NodePtr parameter;
            result = group.ReadElement(pid::kParameters, i, parameter);
            if (AAFRESULT_SUCCEEDED(result)) {
                result = parameter->ReadAUID(pid::kParameterDefinition, definition);
            }
            if (AAFRESULT_FAILED(result)) {
                return result;
            }
        }
        keyed.emplace_back(tessel::aaf::UIDKey(definition), i);
    }
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    keyed.erase(std::unique(keyed.begin(), keyed.end(),
                            [](const auto& a, const auto& b) { return a.first == b.first; }),
                keyed.end());
    order.clear();
    for (const auto& entry : keyed) {
        order.push_back(entry.second);
    }
    return AAFRESULT_SUCCESS;
}

}  // namespace

AAFRESULT IAAFOperationGroup::GetParameters(std::shared_ptr<IEnumAAFParameters>& parameters) const {
    auto impl = std::make_unique<IEnumAAFParameters::Impl>();
    const AAFRESULT result = ParameterOrder(*node_, impl->order);
    if (AAFRESULT_FAILED(result)) {
        return result;
    }
    impl->group = node_;
    parameters = std::make_shared<IEnumAAFParameters>(std::move(impl));
    return AAFRESULT_SUCCESS;
}

AAFRESULT IAAFOperationGroup::CountParameters(aafUInt32& count) const {
    std::vector<aafUInt32> order;
    const AAFRESULT result = ParameterOrder(*node_, order);
    if (AAFRESULT_SUCCEEDED(result)) {
        count = static_cast<aafUInt32>(order.size());
    }
    return result;
}

AAFRESULT IAAFOperationGroup::CountSourceSegments(aafUInt32& count) const {
    return node_->CountElements(pid::kInputSegments, count);
}

AAFRESULT IAAFOperationGroup::GetInputSegmentAt(aafUInt32 index,
                                                std::shared_ptr<IAAFSegment>& segment) const {
    NodePtr node;
    const AAFRESULT result = node_->ReadElement(pid::kInputSegments, index, node);
    return ToView(result, std::move(node), segment);
}

AAFRESULT IAAFOperationGroup::GetRender(std::shared_ptr<IAAFSourceReference>& render) const {
    NodePtr node;
    const AAFRESULT result = node_->ReadStrongRef(pid::kRendering, node);
    return ToView(result, std::move(node), render);
}

AAFRESULT IAAFPulldown::GetInputSegment(std::shared_ptr<IAAFSegment>& segment) const {
    NodePtr node;
    const AAFRESULT result = node_->ReadStrongRef(pid::kPulldownInput, node);
    return ToView(result, std::move(node), segment);
}

AAFRESULT IAAFNestedScope::CountSegments(aafUInt32& count) const {
    return node_->CountElements(pid::kNestedScopeSlots, count);
}

AAFRESULT IAAFNestedScope::GetSegmentAt(aafUInt32 index,
                                        std::shared_ptr<IAAFSegment>& segment) const {
    NodePtr node;
    const AAFRESULT result = node_->ReadElement(pid::kNestedScopeSlots, index, node);
    return ToView(result, std::move(node), segment);
}

AAFRESULT IAAFSelector::GetSelectedSegment(std::shared_ptr<IAAFSegment>& segment) const {
    NodePtr node;
    const AAFRESULT result = node_->ReadStrongRef(pid::kSelected, node);
    return ToView(result, std::move(node), segment);
}

AAFRESULT IAAFSelector::GetNumAlternateSegments(aafInt32& count) const {
    aafUInt32 elements = 0;
    const AAFRESULT result = node_->CountElements(pid::kAlternates, elements);
    if (AAFRESULT_SUCCEEDED(result)) {
        count = static_cast<aafInt32>(elements);
    }
    return result;
}

AAFRESULT IAAFSelector::GetAlternateSegmentAt(aafUInt32 index,
                                              std::shared_ptr<IAAFSegment>& segment) const {
    NodePtr node;
    const AAFRESULT result = node_->ReadElement(pid::kAlternates, index, node);
    return ToView(result, std::move(node), segment);
}

AAFRESULT IAAFEssenceGroup::CountChoices(aafUInt32& count) const {
    return node_->CountElements(pid::kEssenceGroupChoices, count);
}

AAFRESULT IAAFEssenceGroup::GetChoiceAt(aafUInt32 index,
                                        std::shared_ptr<IAAFSegment>& choice) const {
    NodePtr node;
    const AAFRESULT result = node_->ReadElement(pid::kEssenceGroupChoices, index, node);
    return ToView(result, std::move(node), choice);
}

AAFRESULT IAAFParameter::GetParameterDefinition(
    std::shared_ptr<IAAFParameterDef>& parameterDef) const {
    aafUID_t id{};
    AAFRESULT result = node_->ReadAUID(pid::kParameterDefinition, id);
    if (AAFRESULT_FAILED(result)) {
        return result;
    }
    NodePtr node;
    result = node_->File().LookupDefinition(pid::kParameterDefinitions, id, node);
    if (result == AAFRESULT_OBJECT_NOT_FOUND) {
        return AAFRESULT_NO_MORE_OBJECTS;  // the SDK's answer when the dictionary lacks it
    }
    return ToView(result, std::move(node), parameterDef);
}

namespace {

/// The indirect value of a ConstantValue: its byte order, type and value bytes.
AAFRESULT ReadIndirect(const tessel::aaf::ObjectNode& node, tessel::aaf::ByteOrder& order,
                       aafUID_t& type, std::span<const std::uint8_t>& value) {
    std::span<const std::uint8_t> bytes;
    const AAFRESULT result = node.ReadBytes(pid::kConstantValue, bytes);
    if (AAFRESULT_FAILED(result)) {
        return result;
    }
    if (bytes.size() < kIndirectHeader || (bytes[0] != 0x4C && bytes[0] != 0x42)) {
        return AAFRESULT_CORRUPT_OBJECT;
    }
    order.big = bytes[0] == 0x42;
    type = tessel::aaf::DecodeAUID(bytes.data() + 1, order);
    value = bytes.subspan(kIndirectHeader);
    return AAFRESULT_SUCCESS;
}

/// Bytes per element to reverse when a value of `type` is in the other byte order; 0 when the
/// value is not made of numbers this reader knows.
std::size_t SwapUnit(const aafUID_t& type) {
    if (type == kAAFTypeID_UInt16 || type == kAAFTypeID_Int16) {
        return 2;
    }
    if (type == kAAFTypeID_UInt32 || type == kAAFTypeID_Int32 || type == kAAFTypeID_Rational) {
        return 4;
    }
    if (type == kAAFTypeID_UInt64 || type == kAAFTypeID_Int64 || type == kAAFTypeID_PositionType ||
        type == kAAFTypeID_LengthType) {
        return 8;
    }
    return 0;
}

}  // namespace

AAFRESULT IAAFConstantValue::GetTypeDefinition(std::shared_ptr<IAAFTypeDef>& typeDef) const {
    using namespace tessel::aaf;
    ByteOrder order;
    aafUID_t type{};
    std::span<const std::uint8_t> value;
    AAFRESULT result = ReadIndirect(*node_, order, type, value);
    if (AAFRESULT_FAILED(result)) {
        return result;
    }
    NodePtr node;
    result = node_->File().LookupTypeDefinition(type, node);
    if (AAFRESULT_FAILED(result)) {
        // The SDK knows the baseline types without the file defining them; this reader does not
        // carry their whole list, so any type absent from the file is answered by its AUID.
        node = ObjectNode::MakeSynthetic(node_->FilePtr(), ClassId::kTypeDefinition, type,
                                         std::string(BuiltInDefinitionName(type)));
        result = AAFRESULT_SUCCESS;
    }
    return ToView(result, std::move(node), typeDef);
}

AAFRESULT IAAFConstantValue::GetValueBufLen(aafUInt32& length) const {
    tessel::aaf::ByteOrder order;
    aafUID_t type{};
    std::span<const std::uint8_t> value;
    const AAFRESULT result = ReadIndirect(*node_, order, type, value);
    if (AAFRESULT_SUCCEEDED(result)) {
        length = static_cast<aafUInt32>(value.size());
    }
    return result;
}

AAFRESULT IAAFConstantValue::GetValue(std::span<aafUInt8> buffer, aafUInt32& bytesRead) const {
    tessel::aaf::ByteOrder order;
    aafUID_t type{};
    std::span<const std::uint8_t> value;
    const AAFRESULT result = ReadIndirect(*node_, order, type, value);
    if (AAFRESULT_FAILED(result)) {
        return result;
    }
    if (buffer.size() < value.size()) {
        return AAFRESULT_SMALLBUF;
    }
    std::copy(value.begin(), value.end(), buffer.begin());
    const bool hostBig = std::endian::native == std::endian::big;
    const std::size_t unit = SwapUnit(type);
    if (order.big != hostBig && unit != 0 && value.size() % unit == 0) {
        for (std::size_t i = 0; i < value.size(); i += unit) {
            std::reverse(buffer.begin() + static_cast<std::ptrdiff_t>(i),
                         buffer.begin() + static_cast<std::ptrdiff_t>(i + unit));
        }
    }
    // The SDK reports the caller's buffer size here, not the value's length.
    bytesRead = static_cast<aafUInt32>(buffer.size());
    return AAFRESULT_SUCCESS;
}
