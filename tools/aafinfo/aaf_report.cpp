#include "aaf_report.h"

#include <cstdio>
#include <deque>
#include <set>
#include <vector>

#include "model/sequence.h"
#include "model/source_clip_census.h"

namespace tessel::aafinfo {

namespace {

using Json = nlohmann::ordered_json;

// Deeper nesting than this is not shown (a damaged file could nest objects very deeply).
constexpr int kMaxDepth = 32;

std::string RationalText(const aafRational_t& rate) {
    return std::to_string(rate.numerator) + "/" + std::to_string(rate.denominator);
}

std::string ClassName(const std::shared_ptr<IAAFObject>& object) {
    std::shared_ptr<IAAFClassDef> classDef;
    std::string name;
    if (object && AAFRESULT_SUCCEEDED(object->GetDefinition(classDef))) {
        classDef->GetName(name);
    }
    if (name.empty() && classDef) {
        aafUID_t id{};
        classDef->GetAUID(id);
        name = UidText(id);
    }
    return name;
}

template <class I>
std::string ClassNameOf(const std::shared_ptr<I>& object) {
    std::shared_ptr<IAAFObject> asObject;
    QueryInterface(object, asObject);
    return ClassName(asObject);
}

std::string KindText(const std::shared_ptr<IAAFDataDef>& dataDef) {
    if (!dataDef) {
        return "unknown";
    }
    struct Test {
        AAFRESULT (IAAFDataDef::*test)(aafBoolean_t&) const;
        const char* text;
    };
    // Same precedence as the converter: matte, timecode, sound, picture.
    static const Test kTests[] = {
        {&IAAFDataDef::IsMatteKind, "matte"},
        {&IAAFDataDef::IsTimecodeKind, "timecode"},
        {&IAAFDataDef::IsSoundKind, "sound"},
        {&IAAFDataDef::IsPictureKind, "picture"},
        {&IAAFDataDef::IsPictureWithMatteKind, "picture with matte"},
        {&IAAFDataDef::IsEdgecodeKind, "edgecode"},
        {&IAAFDataDef::IsDescriptiveMetadataKind, "descriptive metadata"},
        {&IAAFDataDef::IsAuxiliaryKind, "auxiliary"},
    };
    for (const Test& test : kTests) {
        aafBoolean_t result = kAAFFalse;
        ((*dataDef).*test.test)(result);
        if (result) {
            return test.text;
        }
    }
    std::string name;
    dataDef->GetName(name);
    return name.empty() ? std::string("other") : "other (" + name + ")";
}

// The source clips of the picture and sound slots, counted as the converter's report counts
// them, so that what an export holds can be seen before converting it.
uint64_t SourceClipsInTimeline(const IAAFMob& mob) {
    uint64_t total = 0;
    aafNumSlots_t count = 0;
    mob.CountSlots(count);
    for (aafUInt32 i = 0; i < count; ++i) {
        std::shared_ptr<IAAFMobSlot> slot;
        std::shared_ptr<IAAFSegment> segment;
        std::shared_ptr<IAAFDataDef> dataDef;
        if (AAFRESULT_FAILED(mob.GetSlotAt(i, slot)) || !slot ||
            AAFRESULT_FAILED(slot->GetSegment(segment)) || !segment) {
            continue;
        }
        slot->GetDataDef(dataDef);
        const SlotKind kind = ClassifyDataDef(dataDef);
        if (kind == kSlotPicture || kind == kSlotSound) {
            total += CountSourceClips(*segment);
        }
    }
    return total;
}

class Builder {
  public:
    explicit Builder(std::shared_ptr<IAAFHeader> header) : header_(std::move(header)) {}

    Json Identification() const;
    Json Compositions();
    Json ReferencedMobs();

  private:
    Json Mob(const std::shared_ptr<IAAFMob>& mob, bool composition);
    Json Slot(const std::shared_ptr<IAAFMobSlot>& slot);
    Json Component(const std::shared_ptr<IAAFComponent>& component, int depth);
    template <class I>
    Json SegmentJson(const std::shared_ptr<I>& segment, int depth) {
        std::shared_ptr<IAAFComponent> asComponent;
        QueryInterface(segment, asComponent);
        return asComponent ? Component(asComponent, depth) : Json::object();
    }
    Json Descriptor(const std::shared_ptr<IAAFEssenceDescriptor>& descriptor) const;
    void Reference(const aafMobID_t& id);

    std::shared_ptr<IAAFHeader> header_;
    std::set<std::string> listed_;
    std::deque<aafMobID_t> pending_;
};

Json IdentificationJson(const std::shared_ptr<IAAFIdentification>& identification) {
    Json json = Json::object();
    std::string text;
    if (AAFRESULT_SUCCEEDED(identification->GetCompanyName(text))) {
        json["company"] = text;
    }
    if (AAFRESULT_SUCCEEDED(identification->GetProductName(text))) {
        json["product"] = text;
    }
    if (AAFRESULT_SUCCEEDED(identification->GetProductVersionString(text))) {
        json["version"] = text;
    }
    if (AAFRESULT_SUCCEEDED(identification->GetPlatform(text))) {
        json["platform"] = text;
    }
    aafTimeStamp_t date{};
    if (AAFRESULT_SUCCEEDED(identification->GetDate(date))) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%04d-%02u-%02u %02u:%02u:%02u", date.year, date.month,
                      date.day, date.hour, date.minute, date.second);
        json["date"] = buffer;
    }
    return json;
}

Json Builder::Identification() const {
    Json json = Json::object();
    aafUInt32 count = 0;
    header_->CountIdentifications(count);
    Json all = Json::array();
    for (aafUInt32 i = 0; i < count; ++i) {
        std::shared_ptr<IAAFIdentification> identification;
        if (AAFRESULT_SUCCEEDED(header_->GetIdentificationAt(i, identification))) {
            all.push_back(IdentificationJson(identification));
        }
    }
    // The first entry names the application that created the file; later ones modified it.
    json = all.empty() ? Json::object() : all.front();
    if (all.size() > 1) {
        json["modified_by"] = Json(all.begin() + 1, all.end());
    }
    return json;
}

void Builder::Reference(const aafMobID_t& id) {
    if (id == aafMobID_t{}) {
        return;  // "no further source"
    }
    pending_.push_back(id);
}

Json Builder::Component(const std::shared_ptr<IAAFComponent>& component, int depth) {
    Json json = Json::object();
    json["class"] = ClassNameOf(component);
    aafLength_t length = 0;
    if (AAFRESULT_SUCCEEDED(component->GetLength(length))) {
        json["length"] = length;
    }
    std::shared_ptr<IAAFDataDef> dataDef;
    if (AAFRESULT_SUCCEEDED(component->GetDataDef(dataDef))) {
        json["kind"] = KindText(dataDef);
    }
    if (depth >= kMaxDepth) {
        json["truncated"] = true;
        return json;
    }
    std::shared_ptr<IAAFSourceClip> clip;
    std::shared_ptr<IAAFSourceReference> reference;
    std::shared_ptr<IAAFTransition> transition;
    std::shared_ptr<IAAFOperationGroup> group;
    std::shared_ptr<IAAFSequence> sequence;
    std::shared_ptr<IAAFTimecode> timecode;
    if (AAFRESULT_SUCCEEDED(QueryInterface(component, clip))) {
        aafSourceRef_t source{};
        if (AAFRESULT_SUCCEEDED(clip->GetSourceReference(source))) {
            json["source"] = {{"mob_id", MobIdText(source.sourceID)},
                              {"slot_id", source.sourceSlotID},
                              {"start", source.startTime}};
            Reference(source.sourceID);
        }
    } else if (AAFRESULT_SUCCEEDED(QueryInterface(component, reference))) {
        aafMobID_t id{};
        if (AAFRESULT_SUCCEEDED(reference->GetSourceID(id))) {
            json["source"] = {{"mob_id", MobIdText(id)}};
        }
    }
    if (AAFRESULT_SUCCEEDED(QueryInterface(component, transition))) {
        aafPosition_t cutPoint = 0;
        if (AAFRESULT_SUCCEEDED(transition->GetCutPoint(cutPoint))) {
            json["cut_point"] = cutPoint;
        }
        std::shared_ptr<IAAFOperationGroup> effect;
        if (AAFRESULT_SUCCEEDED(transition->GetOperationGroup(effect))) {
            json["effect"] = SegmentJson(effect, depth + 1);
        }
    }
    if (AAFRESULT_SUCCEEDED(QueryInterface(component, group))) {
        std::shared_ptr<IAAFOperationDef> operation;
        std::string name;
        if (AAFRESULT_SUCCEEDED(group->GetOperationDefinition(operation))) {
            operation->GetName(name);
            json["operation"] = name;
        }
        std::shared_ptr<IEnumAAFParameters> parameters;
        std::shared_ptr<IAAFParameter> parameter;
        if (AAFRESULT_SUCCEEDED(group->GetParameters(parameters))) {
            while (AAFRESULT_SUCCEEDED(parameters->NextOne(parameter))) {
                std::shared_ptr<IAAFParameterDef> definition;
                std::shared_ptr<IAAFConstantValue> constant;
                std::shared_ptr<IAAFTypeDef> type;
                aafUID_t id{};
                aafUID_t typeId{};
                aafRational_t ratio{};
                aafUInt32 read = 0;
                if (AAFRESULT_SUCCEEDED(parameter->GetParameterDefinition(definition)) &&
                    AAFRESULT_SUCCEEDED(definition->GetAUID(id)) &&
                    id == kAAFParameterDef_SpeedRatio &&
                    AAFRESULT_SUCCEEDED(QueryInterface(parameter, constant)) &&
                    AAFRESULT_SUCCEEDED(constant->GetTypeDefinition(type)) &&
                    AAFRESULT_SUCCEEDED(type->GetAUID(typeId)) && typeId == kAAFTypeID_Rational &&
                    AAFRESULT_SUCCEEDED(constant->GetValue(
                        std::span(reinterpret_cast<aafUInt8*>(&ratio), sizeof ratio), read))) {
                    json["speed_ratio"] = RationalText(ratio);
                }
            }
        }
        aafUInt32 count = 0;
        group->CountSourceSegments(count);
        Json inputs = Json::array();
        for (aafUInt32 i = 0; i < count; ++i) {
            std::shared_ptr<IAAFSegment> input;
            if (AAFRESULT_SUCCEEDED(group->GetInputSegmentAt(i, input))) {
                inputs.push_back(SegmentJson(input, depth + 1));
            }
        }
        if (!inputs.empty()) {
            json["inputs"] = inputs;
        }
        std::shared_ptr<IAAFSourceReference> render;
        if (AAFRESULT_SUCCEEDED(group->GetRender(render))) {
            json["rendering"] = SegmentJson(render, depth + 1);
        }
    }
    if (AAFRESULT_SUCCEEDED(QueryInterface(component, sequence))) {
        aafUInt32 count = 0;
        sequence->CountComponents(count);
        Json children = Json::array();
        for (aafUInt32 i = 0; i < count; ++i) {
            std::shared_ptr<IAAFComponent> child;
            if (AAFRESULT_SUCCEEDED(sequence->GetComponentAt(i, child))) {
                children.push_back(Component(child, depth + 1));
            }
        }
        json["components"] = children;
    }
    std::shared_ptr<IAAFPulldown> pulldown;
    std::shared_ptr<IAAFSegment> pulldownInput;
    if (AAFRESULT_SUCCEEDED(QueryInterface(component, pulldown)) &&
        AAFRESULT_SUCCEEDED(pulldown->GetInputSegment(pulldownInput))) {
        json["input"] = SegmentJson(pulldownInput, depth + 1);
    }
    std::shared_ptr<IAAFNestedScope> scope;
    std::shared_ptr<IAAFSelector> selector;
    std::shared_ptr<IAAFEssenceGroup> essenceGroup;
    if (AAFRESULT_SUCCEEDED(QueryInterface(component, scope))) {
        aafUInt32 count = 0;
        scope->CountSegments(count);
        Json slots = Json::array();
        for (aafUInt32 i = 0; i < count; ++i) {
            std::shared_ptr<IAAFSegment> segment;
            if (AAFRESULT_SUCCEEDED(scope->GetSegmentAt(i, segment))) {
                slots.push_back(SegmentJson(segment, depth + 1));
            }
        }
        json["slots"] = slots;
    }
    if (AAFRESULT_SUCCEEDED(QueryInterface(component, selector))) {
        std::shared_ptr<IAAFSegment> segment;
        if (AAFRESULT_SUCCEEDED(selector->GetSelectedSegment(segment))) {
            json["selected"] = SegmentJson(segment, depth + 1);
        }
        aafInt32 count = 0;
        selector->GetNumAlternateSegments(count);
        Json alternates = Json::array();
        for (aafUInt32 i = 0; i < static_cast<aafUInt32>(count); ++i) {
            if (AAFRESULT_SUCCEEDED(selector->GetAlternateSegmentAt(i, segment))) {
                alternates.push_back(SegmentJson(segment, depth + 1));
            }
        }
        if (!alternates.empty()) {
            json["alternates"] = alternates;
        }
    }
    if (AAFRESULT_SUCCEEDED(QueryInterface(component, essenceGroup))) {
        aafUInt32 count = 0;
        essenceGroup->CountChoices(count);
        Json choices = Json::array();
        for (aafUInt32 i = 0; i < count; ++i) {
            std::shared_ptr<IAAFSegment> choice;
            if (AAFRESULT_SUCCEEDED(essenceGroup->GetChoiceAt(i, choice))) {
                choices.push_back(SegmentJson(choice, depth + 1));
            }
        }
        json["choices"] = choices;
    }
    if (AAFRESULT_SUCCEEDED(QueryInterface(component, timecode))) {
        aafTimecode_t value{};
        if (AAFRESULT_SUCCEEDED(timecode->GetTimecode(value))) {
            json["timecode"] = {{"start", value.startFrame},
                                {"fps", value.fps},
                                {"drop", value.drop == kAAFTcDrop}};
        }
    }
    return json;
}

Json Builder::Slot(const std::shared_ptr<IAAFMobSlot>& slot) {
    Json json = Json::object();
    aafSlotID_t id = 0;
    if (AAFRESULT_SUCCEEDED(slot->GetSlotID(id))) {
        json["slot_id"] = id;
    }
    std::string name;
    if (AAFRESULT_SUCCEEDED(slot->GetName(name))) {
        json["name"] = name;
    }
    aafUInt32 physical = 0;
    if (AAFRESULT_SUCCEEDED(slot->GetPhysicalNum(physical))) {
        json["physical_number"] = physical;
    }
    std::shared_ptr<IAAFDataDef> dataDef;
    json["kind"] = AAFRESULT_SUCCEEDED(slot->GetDataDef(dataDef)) ? KindText(dataDef) : "unknown";
    json["class"] = ClassNameOf(slot);
    std::shared_ptr<IAAFTimelineMobSlot> timeline;
    std::shared_ptr<IAAFEventMobSlot> event;
    aafRational_t rate{};
    if ((AAFRESULT_SUCCEEDED(QueryInterface(slot, timeline)) &&
         AAFRESULT_SUCCEEDED(timeline->GetEditRate(rate))) ||
        (AAFRESULT_SUCCEEDED(QueryInterface(slot, event)) &&
         AAFRESULT_SUCCEEDED(event->GetEditRate(rate)))) {
        json["edit_rate"] = RationalText(rate);
    }
    Json components = Json::array();
    std::shared_ptr<IAAFSegment> segment;
    std::shared_ptr<IAAFSequence> sequence;
    std::shared_ptr<IAAFComponent> asComponent;
    if (AAFRESULT_SUCCEEDED(slot->GetSegment(segment))) {
        if (AAFRESULT_SUCCEEDED(QueryInterface(segment, sequence))) {
            aafUInt32 count = 0;
            sequence->CountComponents(count);
            for (aafUInt32 i = 0; i < count; ++i) {
                std::shared_ptr<IAAFComponent> child;
                if (AAFRESULT_SUCCEEDED(sequence->GetComponentAt(i, child))) {
                    components.push_back(Component(child, 1));
                }
            }
        } else if (AAFRESULT_SUCCEEDED(QueryInterface(segment, asComponent))) {
            components.push_back(Component(asComponent, 1));
        }
    }
    json["components"] = components;
    return json;
}

Json Builder::Descriptor(const std::shared_ptr<IAAFEssenceDescriptor>& descriptor) const {
    Json json = Json::object();
    json["class"] = ClassNameOf(descriptor);
    std::shared_ptr<IAAFFileDescriptor> file;
    if (AAFRESULT_SUCCEEDED(QueryInterface(descriptor, file))) {
        aafRational_t rate{};
        aafLength_t length = 0;
        if (AAFRESULT_SUCCEEDED(file->GetSampleRate(rate))) {
            json["sample_rate"] = RationalText(rate);
        }
        if (AAFRESULT_SUCCEEDED(file->GetLength(length))) {
            json["length"] = length;
        }
    }
    Json locators = Json::array();
    aafUInt32 count = 0;
    descriptor->CountLocators(count);
    for (aafUInt32 i = 0; i < count; ++i) {
        std::shared_ptr<IAAFLocator> locator;
        if (AAFRESULT_FAILED(descriptor->GetLocatorAt(i, locator))) {
            continue;
        }
        Json entry = {{"class", ClassNameOf(locator)}};
        std::string path;
        std::shared_ptr<IAAFTextLocator> text;
        if (AAFRESULT_SUCCEEDED(locator->GetPath(path))) {
            entry["path"] = path;
        } else if (AAFRESULT_SUCCEEDED(QueryInterface(locator, text)) &&
                   AAFRESULT_SUCCEEDED(text->GetName(path))) {
            entry["text"] = path;
        }
        locators.push_back(entry);
    }
    json["locators"] = locators;
    std::shared_ptr<IAAFWAVEDescriptor> wave;
    aafUInt32 size = 0;
    if (AAFRESULT_SUCCEEDED(QueryInterface(descriptor, wave)) &&
        AAFRESULT_SUCCEEDED(wave->GetSummaryBufferSize(size))) {
        Json waveJson = {{"summary_size", size}};
        std::vector<aafUInt8> summary(size);
        if (size >= 36 && AAFRESULT_SUCCEEDED(wave->GetSummary(summary))) {
            // The format chunk follows the 12-byte RIFF header; its fields are little-endian.
            auto u16 = [&](std::size_t at) { return summary[at] | (summary[at + 1] << 8); };
            auto u32 = [&](std::size_t at) {
                return static_cast<std::uint32_t>(u16(at)) |
                       (static_cast<std::uint32_t>(u16(at + 2)) << 16);
            };
            waveJson["format_tag"] = u16(20);
            waveJson["channels"] = u16(22);
            waveJson["sample_rate"] = u32(24);
            waveJson["bits_per_sample"] = u16(34);
        }
        json["wave"] = waveJson;
    }
    std::shared_ptr<IAAFDigitalImageDescriptor> picture;
    if (AAFRESULT_SUCCEEDED(QueryInterface(descriptor, picture))) {
        Json pictureJson = Json::object();
        aafUInt32 height = 0;
        aafUInt32 width = 0;
        aafRational_t aspect{};
        if (AAFRESULT_SUCCEEDED(picture->GetStoredView(height, width))) {
            pictureJson["stored_height"] = height;
            pictureJson["stored_width"] = width;
        }
        if (AAFRESULT_SUCCEEDED(picture->GetImageAspectRatio(aspect))) {
            pictureJson["aspect_ratio"] = RationalText(aspect);
        }
        aafUInt32 entries = 0;
        picture->GetVideoLineMapSize(entries);
        std::vector<aafInt32> map(entries);
        if (entries > 0 && AAFRESULT_SUCCEEDED(picture->GetVideoLineMap(map))) {
            pictureJson["video_line_map"] = map;
        }
        json["picture"] = pictureJson;
    }
    return json;
}

Json Builder::Mob(const std::shared_ptr<IAAFMob>& mob, bool composition) {
    Json json = Json::object();
    std::string name;
    if (AAFRESULT_SUCCEEDED(mob->GetName(name))) {
        json["name"] = name;
    }
    aafMobID_t id{};
    mob->GetMobID(id);
    json["mob_id"] = MobIdText(id);
    if (!composition) {
        json["class"] = ClassNameOf(mob);
    }
    aafNumSlots_t count = 0;
    mob->CountSlots(count);
    Json slots = Json::array();
    for (aafUInt32 i = 0; i < count; ++i) {
        std::shared_ptr<IAAFMobSlot> slot;
        if (AAFRESULT_SUCCEEDED(mob->GetSlotAt(i, slot))) {
            slots.push_back(Slot(slot));
        }
    }
    json["slots"] = slots;
    if (composition) {
        json["source_clips_in_timeline"] = SourceClipsInTimeline(*mob);
    }
    std::shared_ptr<IAAFSourceMob> source;
    std::shared_ptr<IAAFEssenceDescriptor> descriptor;
    if (AAFRESULT_SUCCEEDED(QueryInterface(mob, source)) &&
        AAFRESULT_SUCCEEDED(source->GetEssenceDescriptor(descriptor)) && descriptor) {
        json["descriptor"] = Descriptor(descriptor);
    }
    return json;
}

Json Builder::Compositions() {
    Json compositions = Json::array();
    aafSearchCrit_t criteria{};
    criteria.searchTag = kAAFByMobKind;
    criteria.tags.mobKind = kAAFCompMob;
    std::shared_ptr<IEnumAAFMobs> mobs;
    if (AAFRESULT_FAILED(header_->GetMobs(&criteria, mobs))) {
        return compositions;
    }
    std::shared_ptr<IAAFMob> mob;
    while (AAFRESULT_SUCCEEDED(mobs->NextOne(mob))) {
        aafMobID_t id{};
        mob->GetMobID(id);
        listed_.insert(MobIdText(id));
        compositions.push_back(Mob(mob, true));
    }
    return compositions;
}

Json Builder::ReferencedMobs() {
    Json referenced = Json::array();
    while (!pending_.empty()) {
        const aafMobID_t id = pending_.front();
        pending_.pop_front();
        if (!listed_.insert(MobIdText(id)).second) {
            continue;
        }
        std::shared_ptr<IAAFMob> mob;
        if (AAFRESULT_FAILED(header_->LookupMob(id, mob))) {
            referenced.push_back({{"mob_id", MobIdText(id)}, {"missing", true}});
            continue;
        }
        referenced.push_back(Mob(mob, false));
    }
    return referenced;
}

}  // namespace

std::string MobIdText(const aafMobID_t& id) {
    char text[96];
    const aafUInt8* label = id.SMPTELabel;
    std::snprintf(text, sizeof text,
                  "urn:smpte:umid:%02x%02x%02x%02x.%02x%02x%02x%02x.%02x%02x%02x%02x."
                  "%02x%02x%02x%02x.%08x.%04x.%04x.%02x%02x.%02x%02x%02x%02x%02x%02x",
                  label[0], label[1], label[2], label[3], label[4], label[5], label[6], label[7],
                  label[8], label[9], label[10], label[11], id.length, id.instanceHigh,
                  id.instanceMid, id.instanceLow, id.material.Data1, id.material.Data2,
                  id.material.Data3, id.material.Data4[0], id.material.Data4[1],
                  id.material.Data4[2], id.material.Data4[3], id.material.Data4[4],
                  id.material.Data4[5], id.material.Data4[6], id.material.Data4[7]);
    return text;
}

std::string UidText(const aafUID_t& id) {
    char text[48];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", id.Data1,
                  id.Data2, id.Data3, id.Data4[0], id.Data4[1], id.Data4[2], id.Data4[3],
                  id.Data4[4], id.Data4[5], id.Data4[6], id.Data4[7]);
    return text;
}

Report BuildReport(const std::string& utf8Path) {
    Report report;
    std::shared_ptr<IAAFFile> file;
    report.code = AAFFileOpenExistingRead(utf8Path, 0, file);
    if (AAFRESULT_FAILED(report.code)) {
        report.error = AafLastOpenError();
        return report;
    }
    std::shared_ptr<IAAFHeader> header;
    report.code = file->GetHeader(header);
    if (AAFRESULT_FAILED(report.code)) {
        report.error = AafResultText(report.code);
        return report;
    }
    Builder builder(header);
    Json& json = report.json;
    json["file"] = utf8Path;
    json["identification"] = builder.Identification();
    json["compositions"] = builder.Compositions();
    json["referenced_mobs"] = builder.ReferencedMobs();
    file->Close();
    return report;
}

}  // namespace tessel::aafinfo
