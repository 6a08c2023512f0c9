// Definition objects: data, parameter and operation definitions; classes and types.

#include "aaf/AAF.h"
#include "aaf/api_support.h"

using tessel::aaf::NodePtr;
namespace pid = tessel::aaf::pid;

AAFRESULT IAAFDefObject::GetAUID(aafUID_t& auid) const {
    if (node_->IsSynthetic()) {
        auid = node_->SyntheticId();
        return AAFRESULT_SUCCESS;
    }
    return node_->ReadAUID(pid::kDefIdentification, auid);
}

AAFRESULT IAAFDefObject::GetName(std::string& name) const {
    if (node_->IsSynthetic()) {
        name = node_->SyntheticName();
        return AAFRESULT_SUCCESS;
    }
    return node_->ReadString(pid::kDefName, name);
}

namespace {

AAFRESULT IsKind(const IAAFDataDef& dataDef, const aafUID_t& first, const aafUID_t& second,
                 aafBoolean_t& result) {
    aafUID_t id{};
    const AAFRESULT read = dataDef.GetAUID(id);
    if (AAFRESULT_SUCCEEDED(read)) {
        result = id == first || id == second;
    }
    return read;
}

}  // namespace

AAFRESULT IAAFDataDef::IsPictureKind(aafBoolean_t& result) const {
    return IsKind(*this, kAAFDataDef_Picture, kAAFDataDef_LegacyPicture, result);
}

AAFRESULT IAAFDataDef::IsSoundKind(aafBoolean_t& result) const {
    return IsKind(*this, kAAFDataDef_Sound, kAAFDataDef_LegacySound, result);
}

AAFRESULT IAAFDataDef::IsTimecodeKind(aafBoolean_t& result) const {
    return IsKind(*this, kAAFDataDef_Timecode, kAAFDataDef_LegacyTimecode, result);
}

AAFRESULT IAAFDataDef::IsMatteKind(aafBoolean_t& result) const {
    return IsKind(*this, kAAFDataDef_Matte, kAAFDataDef_Matte, result);
}

AAFRESULT IAAFDataDef::IsPictureWithMatteKind(aafBoolean_t& result) const {
    return IsKind(*this, kAAFDataDef_PictureWithMatte, kAAFDataDef_PictureWithMatte, result);
}

AAFRESULT IAAFDataDef::IsEdgecodeKind(aafBoolean_t& result) const {
    return IsKind(*this, kAAFDataDef_Edgecode, kAAFDataDef_Edgecode, result);
}

AAFRESULT IAAFDataDef::IsAuxiliaryKind(aafBoolean_t& result) const {
    return IsKind(*this, kAAFDataDef_Auxiliary, kAAFDataDef_Auxiliary, result);
}

AAFRESULT IAAFDataDef::IsDescriptiveMetadataKind(aafBoolean_t& result) const {
    return IsKind(*this, kAAFDataDef_DescriptiveMetadata, kAAFDataDef_DescriptiveMetadata, result);
}

AAFRESULT IAAFMetaDefinition::GetAUID(aafUID_t& auid) const {
    if (node_->IsSynthetic()) {
        auid = node_->SyntheticId();
        return AAFRESULT_SUCCESS;
    }
    return node_->ReadAUID(pid::kMetaIdentification, auid);
}

AAFRESULT IAAFMetaDefinition::GetName(std::string& name) const {
    if (node_->IsSynthetic()) {
        name = node_->SyntheticName();
        return AAFRESULT_SUCCESS;
    }
    return node_->ReadString(pid::kMetaName, name);
}

AAFRESULT IAAFClassDef::GetParent(std::shared_ptr<IAAFClassDef>& parent) const {
    using namespace tessel::aaf;
    aafUID_t id{};
    AAFRESULT result = GetAUID(id);
    if (AAFRESULT_FAILED(result)) {
        return result;
    }
    aafUID_t parentId{};
    if (!node_->File().ClassParent(id, parentId) || parentId == id) {
        return AAFRESULT_NO_MORE_OBJECTS;
    }
    parent = std::make_shared<IAAFClassDef>(ObjectNode::MakeSynthetic(
        node_->FilePtr(), ClassId::kClassDefinition, parentId, node_->File().ClassName(parentId)));
    return AAFRESULT_SUCCESS;
}
