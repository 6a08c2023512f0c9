// Mobs and mob slots.

#include "aaf/AAF.h"
#include "aaf/api_support.h"
#include "aaf/definitions.h"

using tessel::aaf::NodePtr;
using tessel::aaf::ToView;
namespace pid = tessel::aaf::pid;

AAFRESULT IAAFMob::GetMobID(aafMobID_t& mobID) const {
    return node_->ReadMobID(pid::kMobID, mobID);
}

AAFRESULT IAAFMob::GetName(std::string& name) const {
    return node_->ReadString(pid::kMobName, name);
}

AAFRESULT IAAFMob::CountSlots(aafNumSlots_t& count) const {
    return node_->CountElements(pid::kSlots, count);
}

AAFRESULT IAAFMob::GetSlotAt(aafUInt32 index, std::shared_ptr<IAAFMobSlot>& slot) const {
    NodePtr node;
    const AAFRESULT result = node_->ReadElement(pid::kSlots, index, node);
    return ToView(result, std::move(node), slot);
}

AAFRESULT IAAFMob::LookupSlot(aafSlotID_t slotID, std::shared_ptr<IAAFMobSlot>& slot) const {
    aafUInt32 count = 0;
    const AAFRESULT result = CountSlots(count);
    if (AAFRESULT_FAILED(result)) {
        return result;
    }
    // The SDK scans the slots in order and takes the first with this id.
    for (aafUInt32 i = 0; i < count; ++i) {
        NodePtr node;
        aafSlotID_t id = 0;
        if (AAFRESULT_SUCCEEDED(node_->ReadElement(pid::kSlots, i, node)) &&
            AAFRESULT_SUCCEEDED(node->ReadUInt32(pid::kSlotID, id)) && id == slotID) {
            return ToView(AAFRESULT_SUCCESS, std::move(node), slot);
        }
    }
    return AAFRESULT_SLOT_NOT_FOUND;
}

AAFRESULT IAAFSourceMob::GetEssenceDescriptor(
    std::shared_ptr<IAAFEssenceDescriptor>& descriptor) const {
    NodePtr node;
    const AAFRESULT result = node_->ReadStrongRef(pid::kEssenceDescription, node);
    if (result == AAFRESULT_PROP_NOT_PRESENT) {
        return AAFRESULT_SUCCESS;  // as the SDK does: success, output untouched
    }
    return ToView(result, std::move(node), descriptor);
}

AAFRESULT IAAFMobSlot::GetName(std::string& name) const {
    return node_->ReadString(pid::kSlotName, name);
}

AAFRESULT IAAFMobSlot::GetSegment(std::shared_ptr<IAAFSegment>& segment) const {
    NodePtr node;
    const AAFRESULT result = node_->ReadStrongRef(pid::kSegment, node);
    return ToView(result, std::move(node), segment);
}

AAFRESULT IAAFMobSlot::GetDataDef(std::shared_ptr<IAAFDataDef>& dataDef) const {
    NodePtr segment;
    const AAFRESULT result = node_->ReadStrongRef(pid::kSegment, segment);
    if (AAFRESULT_FAILED(result)) {
        return result;
    }
    return tessel::aaf::ComponentDataDef(*segment, dataDef);
}

AAFRESULT IAAFMobSlot::GetPhysicalNum(aafUInt32& number) const {
    return node_->ReadUInt32(pid::kPhysicalTrackNumber, number);
}

AAFRESULT IAAFMobSlot::GetSlotID(aafSlotID_t& slotID) const {
    return node_->ReadUInt32(pid::kSlotID, slotID);
}

AAFRESULT IAAFTimelineMobSlot::GetEditRate(aafRational_t& editRate) const {
    return node_->ReadRational(pid::kTimelineEditRate, editRate);
}

AAFRESULT IAAFTimelineMobSlot::GetOrigin(aafPosition_t& origin) const {
    return node_->ReadInt64(pid::kTimelineOrigin, origin);
}

AAFRESULT IAAFEventMobSlot::GetEditRate(aafRational_t& editRate) const {
    return node_->ReadRational(pid::kEventEditRate, editRate);
}
