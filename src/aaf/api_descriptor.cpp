// Essence descriptors and locators.

#include <algorithm>

#include "aaf/AAF.h"
#include "aaf/api_support.h"

using tessel::aaf::ClassId;
using tessel::aaf::NodePtr;
using tessel::aaf::ToView;
namespace pid = tessel::aaf::pid;

AAFRESULT IAAFEssenceDescriptor::CountLocators(aafUInt32& count) const {
    return node_->CountElements(pid::kLocator, count);
}

AAFRESULT IAAFEssenceDescriptor::GetLocatorAt(aafUInt32 index,
                                              std::shared_ptr<IAAFLocator>& locator) const {
    NodePtr node;
    const AAFRESULT result = node_->ReadElement(pid::kLocator, index, node);
    return ToView(result, std::move(node), locator);
}

AAFRESULT IAAFFileDescriptor::GetSampleRate(aafRational_t& rate) const {
    return node_->ReadRational(pid::kSampleRate, rate);
}

AAFRESULT IAAFFileDescriptor::GetLength(aafLength_t& length) const {
    return node_->ReadInt64(pid::kFileLength, length);
}

AAFRESULT IAAFWAVEDescriptor::GetSummaryBufferSize(aafUInt32& size) const {
    std::span<const std::uint8_t> summary;
    const AAFRESULT result = node_->ReadBytes(pid::kWaveSummary, summary);
    if (AAFRESULT_SUCCEEDED(result)) {
        size = static_cast<aafUInt32>(summary.size());
    }
    return result;
}

AAFRESULT IAAFWAVEDescriptor::GetSummary(std::span<aafUInt8> buffer) const {
    std::span<const std::uint8_t> summary;
    const AAFRESULT result = node_->ReadBytes(pid::kWaveSummary, summary);
    if (AAFRESULT_FAILED(result)) {
        return result;
    }
    if (buffer.size() < summary.size()) {
        return AAFRESULT_SMALLBUF;
    }
    std::copy(summary.begin(), summary.end(), buffer.begin());
    return AAFRESULT_SUCCESS;
}

AAFRESULT IAAFDigitalImageDescriptor::GetStoredView(aafUInt32& storedHeight,
                                                    aafUInt32& storedWidth) const {
    aafUInt32 height = 0;
    aafUInt32 width = 0;
    AAFRESULT result = node_->ReadUInt32(pid::kStoredHeight, height);
    if (AAFRESULT_SUCCEEDED(result)) {
        result = node_->ReadUInt32(pid::kStoredWidth, width);
    }
    if (AAFRESULT_SUCCEEDED(result)) {
        storedHeight = height;
        storedWidth = width;
    }
    return result;
}

AAFRESULT IAAFDigitalImageDescriptor::GetImageAspectRatio(aafRational_t& ratio) const {
    return node_->ReadRational(pid::kImageAspectRatio, ratio);
}

AAFRESULT IAAFDigitalImageDescriptor::GetVideoLineMapSize(aafUInt32& count) const {
    std::span<const std::uint8_t> map;
    const AAFRESULT result = node_->ReadBytes(pid::kVideoLineMap, map);
    if (result == AAFRESULT_PROP_NOT_PRESENT) {
        count = 0;
        return AAFRESULT_SUCCESS;
    }
    if (AAFRESULT_SUCCEEDED(result)) {
        count = static_cast<aafUInt32>(map.size() / 4);
    }
    return result;
}

AAFRESULT IAAFDigitalImageDescriptor::GetVideoLineMap(std::span<aafInt32> entries) const {
    std::span<const std::uint8_t> map;
    const AAFRESULT result = node_->ReadBytes(pid::kVideoLineMap, map);
    if (AAFRESULT_FAILED(result)) {
        return result;
    }
    const std::size_t count = map.size() / 4;
    if (entries.size() < count) {
        return AAFRESULT_SMALLBUF;
    }
    for (std::size_t i = 0; i < count; ++i) {
        entries[i] = node_->Order().I32(map.data() + 4 * i);
    }
    return AAFRESULT_SUCCESS;
}

AAFRESULT IAAFLocator::GetPath(std::string& path) const {
    // Only a NetworkLocator has a path; the SDK's other locators leave GetPath unimplemented.
    if (!tessel::aaf::ClassIsA(node_->Class(), ClassId::kNetworkLocator)) {
        return AAFRESULT_ABSTRACT_CLASS;
    }
    return node_->ReadString(pid::kURLString, path);
}

AAFRESULT IAAFTextLocator::GetName(std::string& name) const {
    return node_->ReadString(pid::kTextLocatorName, name);
}
