#include "aafwriter/dictionary.h"

#include <algorithm>
#include <cstring>

#include "aafwriter/ids.h"
#include "aafwriter/meta_dictionary.h"

namespace tessel::aafwriter {
namespace {

constexpr std::uint16_t kPidIdentification = 0x1B01;
constexpr std::uint16_t kPidName = 0x1B02;
constexpr std::uint16_t kPidOperationDefinitions = 0x2603;
constexpr std::uint16_t kPidParameterDefinitions = 0x2604;
constexpr std::uint16_t kPidDataDefinitions = 0x2605;
constexpr std::uint16_t kPidInterpolationDefinitions = 0x2609;
constexpr std::uint16_t kPidParameterDefinition = 0x4C01;

bool Same(const aafUID_t& a, const aafUID_t& b) {
    return a == b;
}

struct NamedId {
    aafUID_t id;
    const char* name;
};

const NamedId kDataDefinitions[] = {
    {datadefs::kPicture, "DataDef_Picture"},
    {datadefs::kLegacyPicture, "DataDef_LegacyPicture"},
    {datadefs::kMatte, "DataDef_Matte"},
    {datadefs::kPictureWithMatte, "DataDef_PictureWithMatte"},
    {datadefs::kSound, "DataDef_Sound"},
    {datadefs::kLegacySound, "DataDef_LegacySound"},
    {datadefs::kTimecode, "DataDef_Timecode"},
    {datadefs::kLegacyTimecode, "DataDef_LegacyTimecode"},
    {datadefs::kEdgecode, "DataDef_Edgecode"},
    {datadefs::kDescriptiveMetadata, "DataDef_DescriptiveMetadata"},
    {datadefs::kAuxiliary, "DataDef_Auxiliary"},
    {datadefs::kDataEssence, "DataEssenceTrack"},
    {datadefs::kUnknown, "DataDef_Unknown"},
};

const NamedId kInterpolations[] = {
    {interpolations::kLinear, "LinearInterp"},
    {interpolations::kConstant, "ConstantInterp"},
};

DefinitionCatalogue BuiltIn() {
    DefinitionCatalogue c;
    c.operations = {
        {operations::kVideoDissolve,
         "Video Dissolve",
         datadefs::kPicture,
         2,
         false,
         {parameters::kLevel}},
        {operations::kAudioDissolve,
         "Audio Dissolve",
         datadefs::kSound,
         2,
         false,
         {parameters::kLevel}},
        {operations::kVideoSpeedControl,
         "Motion Control",
         datadefs::kPicture,
         1,
         true,
         {parameters::kSpeedRatio}},
        {operations::kAudioGain,
         "Audio Gain",
         datadefs::kSound,
         1,
         false,
         {parameters::kAmplitude}},
    };
    c.parameters = {
        {parameters::kSpeedRatio, "SpeedRatio", types::kRational},
        {parameters::kLevel, "Level", types::kRational},
        {parameters::kAmplitude, "Amplitude", types::kRational},
    };
    return c;
}

struct Uses {
    std::vector<aafUID_t> data, operations, parameters, interpolations;
};

void Note(std::vector<aafUID_t>& list, const aafUID_t& id) {
    if (std::find_if(list.begin(), list.end(), [&](const aafUID_t& x) { return Same(x, id); }) ==
        list.end()) {
        list.push_back(id);
    }
}

void Collect(const Object& object, Uses& uses) {
    for (const Property& p : object.properties()) {
        if (p.form == StoredForm::kWeakReference && p.value.size() == 16) {
            const aafUID_t key = ReadAuid(p.value, object.byteOrder());
            switch (p.target) {
                case WeakTarget::kDataDefinitions:
                    Note(uses.data, key);
                    break;
                case WeakTarget::kOperationDefinitions:
                    Note(uses.operations, key);
                    break;
                case WeakTarget::kParameterDefinitions:
                    Note(uses.parameters, key);
                    break;
                case WeakTarget::kInterpolationDefinitions:
                    Note(uses.interpolations, key);
                    break;
                default:
                    break;
            }
        } else if (p.pid == kPidParameterDefinition && p.form == StoredForm::kData &&
                   p.value.size() == 16) {
            Note(uses.parameters, ReadAuid(p.value, object.byteOrder()));
        }
        for (const auto& child : p.objects) {
            if (child != nullptr) {
                Collect(*child, uses);
            }
        }
    }
}

std::unique_ptr<Object> Definition(const aafUID_t& classId, const aafUID_t& id,
                                   const std::string& name, ByteOrder order) {
    auto def = std::make_unique<Object>(classId, order);
    def->SetAuid(kPidIdentification, id);
    def->SetString(kPidName, name);
    return def;
}

}  // namespace

std::string DataDefinitionName(const aafUID_t& id) {
    for (const NamedId& d : kDataDefinitions) {
        if (Same(d.id, id)) {
            return d.name;
        }
    }
    return {};
}

std::unique_ptr<Object> BuildDictionary(const Object& header, const DefinitionCatalogue& extra,
                                        ByteOrder order) {
    DefinitionCatalogue known = extra;
    const DefinitionCatalogue builtIn = BuiltIn();
    known.operations.insert(known.operations.end(), builtIn.operations.begin(),
                            builtIn.operations.end());
    known.parameters.insert(known.parameters.end(), builtIn.parameters.begin(),
                            builtIn.parameters.end());

    Uses uses;
    Collect(header, uses);
    auto dictionary = std::make_unique<Object>(classes::kDictionary, order);

    for (const aafUID_t& id : uses.operations) {
        const auto it = std::find_if(known.operations.begin(), known.operations.end(),
                                     [&](const OperationDefinition& d) { return Same(d.id, id); });
        OperationDefinition def =
            it != known.operations.end()
                ? *it
                : OperationDefinition{id, "Operation", datadefs::kPicture, 1, false, {}};
        auto object = Definition(classes::kOperationDefinition, id, def.name, order);
        object->SetWeakReference(0x1E01, WeakTarget::kDataDefinitions, def.dataDefinition);
        object->SetBoolean(0x1E02, def.isTimeWarp);
        object->SetInt32(0x1E07, def.numberInputs);
        if (!def.parameters.empty()) {
            object->SetWeakReferences(0x1E09, "ParametersDefined", StoredForm::kWeakReferenceSet,
                                      WeakTarget::kParameterDefinitions, def.parameters);
        }
        Note(uses.data, def.dataDefinition);
        for (const aafUID_t& p : def.parameters) {
            Note(uses.parameters, p);
        }
        dictionary->AddToSet(kPidOperationDefinitions, std::move(object), kPidIdentification,
                             kPidIdentification);
    }
    for (const aafUID_t& id : uses.parameters) {
        const auto it = std::find_if(known.parameters.begin(), known.parameters.end(),
                                     [&](const ParameterDefinition& d) { return Same(d.id, id); });
        const ParameterDefinition def =
            it != known.parameters.end() ? *it
                                         : ParameterDefinition{id, "Parameter", types::kRational};
        auto object = Definition(classes::kParameterDefinition, id, def.name, order);
        object->SetWeakReference(0x1F01, WeakTarget::kTypeDefinitions, def.type);
        dictionary->AddToSet(kPidParameterDefinitions, std::move(object), kPidIdentification,
                             kPidIdentification);
    }
    for (const aafUID_t& id : uses.data) {
        const std::string name = DataDefinitionName(id);
        dictionary->AddToSet(
            kPidDataDefinitions,
            Definition(classes::kDataDefinition, id, name.empty() ? "DataDefinition" : name, order),
            kPidIdentification, kPidIdentification);
    }
    for (const aafUID_t& id : uses.interpolations) {
        std::string name = "Interpolation";
        for (const NamedId& d : kInterpolations) {
            if (Same(d.id, id)) {
                name = d.name;
            }
        }
        dictionary->AddToSet(kPidInterpolationDefinitions,
                             Definition(classes::kInterpolationDefinition, id, name, order),
                             kPidIdentification, kPidIdentification);
    }
    return dictionary;
}

}  // namespace tessel::aafwriter
