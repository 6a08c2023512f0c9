#include "aaf/definitions.h"

#include "aaf/AAF.h"
#include "aaf/aaf_file.h"
#include "aaf/api_support.h"

namespace tessel::aaf {

namespace {

struct BuiltIn {
    const aafUID_t* id;
    std::string_view name;
};

// The data definitions the SDK adds to every file's dictionary, and the common types.
constexpr BuiltIn kDataDefinitions[] = {
    {&kAAFDataDef_Picture, "Picture"},
    {&kAAFDataDef_LegacyPicture, "LegacyPicture"},
    {&kAAFDataDef_Matte, "Matte"},
    {&kAAFDataDef_PictureWithMatte, "PictureWithMatte"},
    {&kAAFDataDef_Sound, "Sound"},
    {&kAAFDataDef_LegacySound, "LegacySound"},
    {&kAAFDataDef_Timecode, "Timecode"},
    {&kAAFDataDef_LegacyTimecode, "LegacyTimecode"},
    {&kAAFDataDef_Edgecode, "Edgecode"},
    {&kAAFDataDef_DescriptiveMetadata, "DescriptiveMetadata"},
    {&kAAFDataDef_Auxiliary, "Auxiliary"},
};

constexpr BuiltIn kTypes[] = {
    {&kAAFTypeID_UInt8, "UInt8"},
    {&kAAFTypeID_UInt16, "UInt16"},
    {&kAAFTypeID_UInt32, "UInt32"},
    {&kAAFTypeID_UInt64, "UInt64"},
    {&kAAFTypeID_Int8, "Int8"},
    {&kAAFTypeID_Int16, "Int16"},
    {&kAAFTypeID_Int32, "Int32"},
    {&kAAFTypeID_Int64, "Int64"},
    {&kAAFTypeID_Boolean, "Boolean"},
    {&kAAFTypeID_Rational, "Rational"},
    {&kAAFTypeID_PositionType, "PositionType"},
    {&kAAFTypeID_LengthType, "LengthType"},
    {&kAAFTypeID_String, "String"},
};

}  // namespace

std::string_view BuiltInDefinitionName(const aafUID_t& id) {
    for (const BuiltIn& builtIn : kDataDefinitions) {
        if (*builtIn.id == id) {
            return builtIn.name;
        }
    }
    for (const BuiltIn& builtIn : kTypes) {
        if (*builtIn.id == id) {
            return builtIn.name;
        }
    }
    return {};
}

AAFRESULT ComponentDataDef(const ObjectNode& component, std::shared_ptr<IAAFDataDef>& out) {
    aafUID_t id{};
    AAFRESULT result = component.ReadWeakRefKey(pid::kDataDefinition, id);
    if (AAFRESULT_FAILED(result)) {
        return result;
    }
    NodePtr node;
    result = component.File().LookupDefinition(pid::kDataDefinitions, id, node);
    if (result == AAFRESULT_OBJECT_NOT_FOUND) {
        for (const BuiltIn& builtIn : kDataDefinitions) {
            if (*builtIn.id == id) {
                node = ObjectNode::MakeSynthetic(component.FilePtr(), ClassId::kDataDefinition, id,
                                                 std::string(builtIn.name));
                result = AAFRESULT_SUCCESS;
                break;
            }
        }
    }
    return ToView(result, std::move(node), out);
}

}  // namespace tessel::aaf
