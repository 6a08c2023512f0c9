#include "edit_description.h"

#include <map>
#include <stdexcept>

namespace tessel::mkaaf {
namespace {

using aafwriter::AafBuilder;
using aafwriter::DataKind;
using aafwriter::Object;
using nlohmann::json;

/// A fault in the description; `where` is a path such as compositions[0].slots[2].
class DescriptionError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

[[noreturn]] void Fail(const std::string& where, const std::string& what) {
    throw DescriptionError(where + ": " + what);
}

std::string At(const std::string& where, const std::string& key) {
    return where.empty() ? key : where + "." + key;
}

std::string At(const std::string& where, std::size_t index) {
    return where + "[" + std::to_string(index) + "]";
}

const json& Require(const json& object, const std::string& where, const char* key) {
    if (!object.is_object() || !object.contains(key)) {
        Fail(where, std::string("missing \"") + key + "\"");
    }
    return object.at(key);
}

std::int64_t Integer(const json& value, const std::string& where) {
    if (!value.is_number_integer()) {
        Fail(where, "expected an integer");
    }
    return value.get<std::int64_t>();
}

std::int64_t IntegerIn(const json& value, const std::string& where, std::int64_t low,
                       std::int64_t high) {
    const std::int64_t v = Integer(value, where);
    if (v < low || v > high) {
        Fail(where,
             "expected an integer from " + std::to_string(low) + " to " + std::to_string(high));
    }
    return v;
}

std::string Text(const json& value, const std::string& where) {
    if (!value.is_string()) {
        Fail(where, "expected a string");
    }
    return value.get<std::string>();
}

bool Flag(const json& value, const std::string& where) {
    if (!value.is_boolean()) {
        Fail(where, "expected true or false");
    }
    return value.get<bool>();
}

aafRational_t Rational(const json& value, const std::string& where) {
    if (!value.is_array() || value.size() != 2) {
        Fail(where, "expected [numerator, denominator]");
    }
    return {static_cast<std::int32_t>(IntegerIn(value[0], where, INT32_MIN, INT32_MAX)),
            static_cast<std::int32_t>(IntegerIn(value[1], where, INT32_MIN, INT32_MAX))};
}

/// An optional member: absent or null gives nullopt.
const json* Optional(const json& object, const char* key) {
    const auto it = object.find(key);
    return it == object.end() || it->is_null() ? nullptr : &*it;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

std::vector<std::uint8_t> Hex(const json& value, const std::string& where) {
    const std::string text = Text(value, where);
    std::vector<std::uint8_t> bytes;
    std::string digits;
    for (char c : text) {
        if (c != ' ' && c != '-' && c != '{' && c != '}') {
            digits.push_back(c);
        }
    }
    if (digits.size() % 2 != 0) {
        Fail(where, "expected hexadecimal bytes");
    }
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        const int hi = HexDigit(digits[i]);
        const int lo = HexDigit(digits[i + 1]);
        if (hi < 0 || lo < 0) {
            Fail(where, "expected hexadecimal bytes");
        }
        bytes.push_back(static_cast<std::uint8_t>(hi << 4 | lo));
    }
    return bytes;
}

/// A mob id as its 32 stored bytes (little-endian layout) in hexadecimal, or "0" for all zero.
aafMobID_t MobId(const json& value, const std::string& where) {
    aafMobID_t id{};
    if (value.is_string() && value.get<std::string>() == "0") {
        return id;
    }
    const auto bytes = Hex(value, where);
    if (bytes.size() != 32) {
        Fail(where, "a mob id has 32 bytes");
    }
    std::copy(bytes.begin(), bytes.begin() + 12, std::begin(id.SMPTELabel));
    id.length = bytes[12];
    id.instanceHigh = bytes[13];
    id.instanceMid = bytes[14];
    id.instanceLow = bytes[15];
    const auto le = [&](std::size_t at, int n) {
        std::uint32_t v = 0;
        for (int i = n - 1; i >= 0; --i) {
            v = v << 8 | bytes[at + static_cast<std::size_t>(i)];
        }
        return v;
    };
    id.material.Data1 = le(16, 4);
    id.material.Data2 = static_cast<std::uint16_t>(le(20, 2));
    id.material.Data3 = static_cast<std::uint16_t>(le(22, 2));
    std::copy(bytes.begin() + 24, bytes.end(), std::begin(id.material.Data4));
    return id;
}

/// An AUID in text form {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}.
aafUID_t Auid(const json& value, const std::string& where) {
    const auto bytes = Hex(value, where);
    if (bytes.size() != 16) {
        Fail(where, "an AUID has 16 bytes");
    }
    aafUID_t id{};
    id.Data1 = static_cast<std::uint32_t>(bytes[0]) << 24 |
               static_cast<std::uint32_t>(bytes[1] << 16 | bytes[2] << 8 | bytes[3]);
    id.Data2 = static_cast<std::uint16_t>(bytes[4] << 8 | bytes[5]);
    id.Data3 = static_cast<std::uint16_t>(bytes[6] << 8 | bytes[7]);
    std::copy(bytes.begin() + 8, bytes.end(), std::begin(id.Data4));
    return id;
}

DataKind Kind(const json& value, const std::string& where) {
    static const std::map<std::string, DataKind> kKinds = {
        {"picture", DataKind::kPicture},
        {"sound", DataKind::kSound},
        {"timecode", DataKind::kTimecode},
        {"legacy_picture", DataKind::kLegacyPicture},
        {"legacy_sound", DataKind::kLegacySound},
        {"legacy_timecode", DataKind::kLegacyTimecode},
        {"matte", DataKind::kMatte},
        {"picture_with_matte", DataKind::kPictureWithMatte},
        {"edgecode", DataKind::kEdgecode},
        {"descriptive_metadata", DataKind::kDescriptiveMetadata},
        {"auxiliary", DataKind::kAuxiliary},
        {"data", DataKind::kDataEssence},
    };
    const std::string text = Text(value, where);
    const auto it = kKinds.find(text);
    if (it == kKinds.end()) {
        Fail(where, "unknown data kind \"" + text + "\"");
    }
    return it->second;
}

bool IsSound(DataKind kind) {
    return kind == DataKind::kSound || kind == DataKind::kLegacySound;
}

aafUID_t Operation(const json& value, const std::string& where) {
    const std::string text = Text(value, where);
    if (text == "speed") {
        return aafwriter::operations::kVideoSpeedControl;
    }
    if (text == "video_dissolve") {
        return aafwriter::operations::kVideoDissolve;
    }
    if (text == "audio_dissolve") {
        return aafwriter::operations::kAudioDissolve;
    }
    if (text == "audio_gain") {
        return aafwriter::operations::kAudioGain;
    }
    return Auid(value, where);
}

aafUID_t ParameterId(const json& value, const std::string& where) {
    const std::string text = Text(value, where);
    if (text == "speed_ratio") {
        return aafwriter::parameters::kSpeedRatio;
    }
    if (text == "level") {
        return aafwriter::parameters::kLevel;
    }
    return Auid(value, where);
}

class Reader {
  public:
    explicit Reader(AafBuilder& builder) : b_(builder) {}

    void Read(const json& d) {
        if (!d.is_object()) {
            Fail("description", "expected a JSON object");
        }
        if (const json* media = Optional(d, "media")) {
            if (!media->is_array()) {
                Fail("media", "expected a list");
            }
            for (std::size_t i = 0; i < media->size(); ++i) {
                ReadMedia((*media)[i], At("media", i));
            }
        }
        if (const json* compositions = Optional(d, "compositions")) {
            if (!compositions->is_array()) {
                Fail("compositions", "expected a list");
            }
            for (std::size_t i = 0; i < compositions->size(); ++i) {
                ReadComposition((*compositions)[i], At("compositions", i));
            }
        }
    }

  private:
    void ReadMedia(const json& m, const std::string& where) {
        const std::string id = Text(Require(m, where, "id"), At(where, "id"));
        if (media_.count(id) != 0) {
            Fail(At(where, "id"), "media id \"" + id + "\" is used twice");
        }
        aafwriter::MediaSpec spec;
        if (const json* name = Optional(m, "name")) {
            spec.name = Text(*name, At(where, "name"));
        }
        if (const json* path = Optional(m, "path")) {
            spec.path = Text(*path, At(where, "path"));
        }
        spec.locator =
            spec.path.empty() ? aafwriter::LocatorKind::kNone : aafwriter::LocatorKind::kNetwork;
        if (const json* locator = Optional(m, "locator")) {
            const std::string kind = Text(*locator, At(where, "locator"));
            if (kind == "network") {
                spec.locator = aafwriter::LocatorKind::kNetwork;
            } else if (kind == "text") {
                spec.locator = aafwriter::LocatorKind::kText;
            } else if (kind == "none") {
                spec.locator = aafwriter::LocatorKind::kNone;
            } else {
                Fail(At(where, "locator"), "expected \"network\", \"text\" or \"none\"");
            }
        }
        if (const json* rate = Optional(m, "edit_rate")) {
            spec.editRate = Rational(*rate, At(where, "edit_rate"));
        }
        if (const json* length = Optional(m, "length")) {
            spec.length = Integer(*length, At(where, "length"));
        }
        // A picture slot unless "picture" is false.
        if (const json* picture = Optional(m, "picture")) {
            spec.picture.reset();
            if (!(picture->is_boolean() && !picture->get<bool>())) {
                spec.picture = Picture(*picture, At(where, "picture"));
            }
        }
        if (const json* slots = Optional(m, "sound_slots")) {
            spec.soundSlots = static_cast<int>(IntegerIn(*slots, At(where, "sound_slots"), 0, 64));
        }
        if (const json* sound = Optional(m, "sound")) {
            spec.sound = Sound(*sound, At(where, "sound"));
        }
        if (const json* slotName = Optional(m, "slot_name")) {
            spec.slotName = Text(*slotName, At(where, "slot_name"));
        }
        if (const json* legacy = Optional(m, "legacy_data_definitions")) {
            spec.legacyDataDefinitions = Flag(*legacy, At(where, "legacy_data_definitions"));
        }
        media_[id] = b_.AddMedia(spec);
    }

    aafwriter::PictureFormat Picture(const json& p, const std::string& where) {
        aafwriter::PictureFormat format;
        if (p.is_boolean()) {
            return format;
        }
        if (!p.is_object()) {
            Fail(where, "expected an object, true or false");
        }
        if (const json* d = Optional(p, "descriptor")) {
            const std::string kind = Text(*d, At(where, "descriptor"));
            if (kind != "cdci" && kind != "rgba") {
                Fail(At(where, "descriptor"), "expected \"cdci\" or \"rgba\"");
            }
            format.rgba = kind == "rgba";
        }
        // Present-but-null leaves a property out; absent keeps the default.
        const auto dimension = [&](const char* key, std::optional<std::uint32_t>& out) {
            if (p.contains(key)) {
                out.reset();
                if (!p.at(key).is_null()) {
                    out = static_cast<std::uint32_t>(
                        IntegerIn(p.at(key), At(where, key), 0, UINT32_MAX));
                }
            }
        };
        dimension("stored_width", format.storedWidth);
        dimension("stored_height", format.storedHeight);
        if (p.contains("aspect_ratio")) {
            format.aspectRatio.reset();
            if (!p.at("aspect_ratio").is_null()) {
                format.aspectRatio = Rational(p.at("aspect_ratio"), At(where, "aspect_ratio"));
            }
        }
        if (p.contains("line_map")) {
            format.lineMap.reset();
            const json& map = p.at("line_map");
            if (!map.is_null()) {
                if (!map.is_array()) {
                    Fail(At(where, "line_map"), "expected a list of integers");
                }
                format.lineMap.emplace();
                for (std::size_t i = 0; i < map.size(); ++i) {
                    format.lineMap->push_back(static_cast<std::int32_t>(
                        IntegerIn(map[i], At(At(where, "line_map"), i), INT32_MIN, INT32_MAX)));
                }
            }
        }
        if (const json* layout = Optional(p, "frame_layout")) {
            format.frameLayout =
                static_cast<std::uint8_t>(IntegerIn(*layout, At(where, "frame_layout"), 0, 255));
        }
        return format;
    }

    aafwriter::SoundFormat Sound(const json& s, const std::string& where) {
        aafwriter::SoundFormat format;
        if (!s.is_object()) {
            Fail(where, "expected an object");
        }
        if (const json* d = Optional(s, "descriptor")) {
            const std::string kind = Text(*d, At(where, "descriptor"));
            if (kind == "wave") {
                format.kind = aafwriter::SoundDescriptorKind::kWave;
            } else if (kind == "aifc") {
                format.kind = aafwriter::SoundDescriptorKind::kAifc;
            } else if (kind == "pcm") {
                format.kind = aafwriter::SoundDescriptorKind::kPcm;
            } else {
                Fail(At(where, "descriptor"), "expected \"wave\", \"aifc\" or \"pcm\"");
            }
        }
        if (const json* v = Optional(s, "channels")) {
            format.channels =
                static_cast<std::uint16_t>(IntegerIn(*v, At(where, "channels"), 0, 65535));
        }
        if (const json* v = Optional(s, "sample_rate")) {
            format.sampleRate =
                static_cast<std::uint32_t>(IntegerIn(*v, At(where, "sample_rate"), 0, UINT32_MAX));
        }
        if (const json* v = Optional(s, "bits")) {
            format.bitsPerSample =
                static_cast<std::uint16_t>(IntegerIn(*v, At(where, "bits"), 0, 65535));
        }
        if (const json* v = Optional(s, "summary")) {
            format.summary = Hex(*v, At(where, "summary"));
        }
        return format;
    }

    void ReadComposition(const json& c, const std::string& where) {
        std::optional<std::string> name;
        if (const json* n = Optional(c, "name")) {
            name = Text(*n, At(where, "name"));
        }
        std::optional<aafMobID_t> id;
        if (const json* mobId = Optional(c, "mob_id")) {
            id = MobId(*mobId, At(where, "mob_id"));
        }
        aafwriter::Composition composition = b_.AddComposition(name, id);
        if (const json* slots = Optional(c, "slots")) {
            if (!slots->is_array()) {
                Fail(At(where, "slots"), "expected a list");
            }
            for (std::size_t i = 0; i < slots->size(); ++i) {
                ReadSlot(composition, (*slots)[i], At(At(where, "slots"), i));
            }
        }
    }

    aafwriter::TrackSpec TrackSpecOf(const json& s, const std::string& where) {
        aafwriter::TrackSpec spec;
        if (const json* v = Optional(s, "edit_rate")) {
            spec.editRate = Rational(*v, At(where, "edit_rate"));
        }
        if (const json* v = Optional(s, "physical_number")) {
            spec.physicalNumber = static_cast<std::uint32_t>(
                IntegerIn(*v, At(where, "physical_number"), 0, UINT32_MAX));
        }
        if (const json* v = Optional(s, "name")) {
            spec.name = Text(*v, At(where, "name"));
        }
        if (const json* v = Optional(s, "slot_id")) {
            spec.slotId =
                static_cast<std::uint32_t>(IntegerIn(*v, At(where, "slot_id"), 0, UINT32_MAX));
        }
        return spec;
    }

    void ReadSlot(aafwriter::Composition& composition, const json& s, const std::string& where) {
        const DataKind kind = Kind(Require(s, where, "kind"), At(where, "kind"));
        const aafwriter::TrackSpec spec = TrackSpecOf(s, where);
        if (kind == DataKind::kTimecode || kind == DataKind::kLegacyTimecode) {
            if (!s.contains("components")) {
                std::optional<std::int64_t> length;
                if (const json* v = Optional(s, "length")) {
                    length = Integer(*v, At(where, "length"));
                }
                composition.AddTimecodeSlot(
                    s.contains("start") ? Integer(s.at("start"), At(where, "start")) : 0,
                    static_cast<std::uint16_t>(
                        s.contains("fps") ? IntegerIn(s.at("fps"), At(where, "fps"), 0, 65535)
                                          : 25),
                    s.contains("drop") && Flag(s.at("drop"), At(where, "drop")), length, spec,
                    kind);
                return;
            }
        }
        aafwriter::Track track = composition.AddTrack(kind, spec);
        if (const json* components = Optional(s, "components")) {
            ReadComponents(track.sequence(), kind, *components, At(where, "components"));
        }
    }

    void ReadComponents(Object& sequence, DataKind kind, const json& list,
                        const std::string& where) {
        if (!list.is_array()) {
            Fail(where, "expected a list");
        }
        for (std::size_t i = 0; i < list.size(); ++i) {
            AafBuilder::AppendComponent(sequence, Component(list[i], kind, At(where, i)));
        }
    }

    std::unique_ptr<Object> Component(const json& c, DataKind trackKind, const std::string& where) {
        const std::string type = Text(Require(c, where, "type"), At(where, "type"));
        DataKind kind = trackKind;
        if (const json* k = Optional(c, "kind")) {
            kind = Kind(*k, At(where, "kind"));
        }
        std::optional<std::int64_t> length;
        if (const json* v = Optional(c, "length")) {
            length = Integer(*v, At(where, "length"));
        }
        if (type == "clip") {
            return Clip(c, kind, length, where);
        }
        if (type == "filler") {
            return b_.MakeFiller(kind, length);
        }
        if (type == "transition") {
            const std::int64_t cut = c.contains("cut_point")
                                         ? Integer(c.at("cut_point"), At(where, "cut_point"))
                                         : length.value_or(0) / 2;
            const aafUID_t op = c.contains("operation")
                                    ? Operation(c.at("operation"), At(where, "operation"))
                                    : (IsSound(kind) ? aafwriter::operations::kAudioDissolve
                                                     : aafwriter::operations::kVideoDissolve);
            return b_.MakeTransition(kind, length.value_or(0), cut,
                                     b_.MakeOperationGroup(kind, length, op));
        }
        if (type == "speed") {
            auto group =
                b_.MakeOperationGroup(kind, length, aafwriter::operations::kVideoSpeedControl);
            AafBuilder::AddInput(*group, Clip(c, kind, length, where));
            b_.AddRationalParameter(*group, aafwriter::parameters::kSpeedRatio,
                                    Rational(Require(c, where, "speed"), At(where, "speed")));
            return group;
        }
        if (type == "operation_group") {
            return Group(c, kind, length, where);
        }
        if (type == "sequence") {
            auto sequence = b_.MakeSequence(kind);
            if (const json* components = Optional(c, "components")) {
                ReadComponents(*sequence, kind, *components, At(where, "components"));
            }
            if (length) {
                sequence->SetInt64(aafwriter::pids::kComponentLength, *length);
            }
            return sequence;
        }
        if (type == "timecode") {
            return b_.MakeTimecode(
                c.contains("start") ? Integer(c.at("start"), At(where, "start")) : 0,
                static_cast<std::uint16_t>(
                    c.contains("fps") ? IntegerIn(c.at("fps"), At(where, "fps"), 0, 65535) : 25),
                c.contains("drop") && Flag(c.at("drop"), At(where, "drop")), length, kind);
        }
        Fail(At(where, "type"), "unknown component type \"" + type + "\"");
    }

    std::unique_ptr<Object> Clip(const json& c, DataKind kind, std::optional<std::int64_t> length,
                                 const std::string& where) {
        std::optional<std::int64_t> start = 0;
        if (c.contains("start")) {
            start.reset();
            if (!c.at("start").is_null()) {
                start = Integer(c.at("start"), At(where, "start"));
            }
        }
        if (const json* source = Optional(c, "source")) {
            const std::string at = At(where, "source");
            return b_.MakeSourceClip(
                kind, length, MobId(Require(*source, at, "mob_id"), At(at, "mob_id")),
                static_cast<std::uint32_t>(
                    IntegerIn(Require(*source, at, "slot"), At(at, "slot"), 0, UINT32_MAX)),
                start);
        }
        const std::string id = Text(Require(c, where, "media"), At(where, "media"));
        const auto it = media_.find(id);
        if (it == media_.end()) {
            Fail(At(where, "media"), "no media with id \"" + id + "\"");
        }
        const aafwriter::MediaRef& media = it->second;
        std::size_t soundIndex = 0;
        if (const json* v = Optional(c, "sound_index")) {
            soundIndex = static_cast<std::size_t>(IntegerIn(*v, At(where, "sound_index"), 0, 63));
        }
        std::uint32_t slot = media.pictureSlot;
        if (IsSound(kind) || slot == 0) {
            if (soundIndex >= media.soundSlots.size()) {
                Fail(At(where, "media"),
                     "media \"" + id + "\" has no sound slot " + std::to_string(soundIndex));
            }
            slot = media.soundSlots[soundIndex];
        }
        return b_.MakeSourceClip(kind, length, media.masterId, slot, start);
    }

    std::unique_ptr<Object> Group(const json& c, DataKind kind, std::optional<std::int64_t> length,
                                  const std::string& where) {
        auto group = b_.MakeOperationGroup(
            kind, length, Operation(Require(c, where, "operation"), At(where, "operation")));
        if (const json* inputs = Optional(c, "inputs")) {
            if (!inputs->is_array()) {
                Fail(At(where, "inputs"), "expected a list");
            }
            for (std::size_t i = 0; i < inputs->size(); ++i) {
                AafBuilder::AddInput(*group,
                                     Component((*inputs)[i], kind, At(At(where, "inputs"), i)));
            }
        }
        if (const json* params = Optional(c, "parameters")) {
            if (!params->is_array()) {
                Fail(At(where, "parameters"), "expected a list");
            }
            for (std::size_t i = 0; i < params->size(); ++i) {
                Parameter(*group, (*params)[i], At(At(where, "parameters"), i));
            }
        }
        return group;
    }

    void Parameter(Object& group, const json& p, const std::string& where) {
        const aafUID_t id = ParameterId(Require(p, where, "definition"), At(where, "definition"));
        if (const json* v = Optional(p, "rational")) {
            b_.AddRationalParameter(group, id, Rational(*v, At(where, "rational")));
        } else if (const json* i = Optional(p, "int32")) {
            b_.AddInt32Parameter(
                group, id,
                static_cast<std::int32_t>(IntegerIn(*i, At(where, "int32"), INT32_MIN, INT32_MAX)));
        } else if (const json* points = Optional(p, "varying")) {
            if (!points->is_array()) {
                Fail(At(where, "varying"), "expected a list of [time, value] pairs");
            }
            std::vector<aafwriter::ControlPointSpec> list;
            for (std::size_t k = 0; k < points->size(); ++k) {
                const std::string at = At(At(where, "varying"), k);
                const json& point = (*points)[k];
                if (!point.is_array() || point.size() != 2) {
                    Fail(at, "expected [time, value]");
                }
                list.push_back({Rational(point[0], at), Rational(point[1], at)});
            }
            b_.AddVaryingParameter(group, id, aafwriter::interpolations::kLinear, list);
        } else {
            Fail(where, "expected \"rational\", \"int32\" or \"varying\"");
        }
    }

    AafBuilder& b_;
    std::map<std::string, aafwriter::MediaRef> media_;
};

}  // namespace

aafwriter::BuilderOptions OptionsFromDescription(const json& description,
                                                 DescriptionStatus& status) {
    aafwriter::BuilderOptions options;
    try {
        if (!description.is_object()) {
            Fail("description", "expected a JSON object");
        }
        const json* format = Optional(description, "format");
        if (format == nullptr) {
            return options;
        }
        if (const json* v = Optional(*format, "sector_size")) {
            const std::int64_t size = Integer(*v, "format.sector_size");
            if (size != 512 && size != 4096) {
                Fail("format.sector_size", "expected 512 or 4096");
            }
            options.sectorSize = static_cast<std::uint32_t>(size);
        }
        if (const json* v = Optional(*format, "byte_order")) {
            const std::string order = Text(*v, "format.byte_order");
            if (order != "little" && order != "big") {
                Fail("format.byte_order", "expected \"little\" or \"big\"");
            }
            options.byteOrder =
                order == "big" ? aafwriter::ByteOrder::kBig : aafwriter::ByteOrder::kLittle;
        }
        if (const json* ids = Optional(*format, "identification")) {
            if (!ids->is_array() || ids->empty()) {
                Fail("format.identification", "expected a list of at least one entry");
            }
            options.identifications.clear();
            for (std::size_t i = 0; i < ids->size(); ++i) {
                const std::string where = At("format.identification", i);
                const json& entry = (*ids)[i];
                aafwriter::Identification id;
                if (const json* t = Optional(entry, "company")) {
                    id.company = Text(*t, At(where, "company"));
                }
                if (const json* t = Optional(entry, "product")) {
                    id.product = Text(*t, At(where, "product"));
                }
                if (const json* t = Optional(entry, "version")) {
                    id.versionString = Text(*t, At(where, "version"));
                }
                if (const json* t = Optional(entry, "platform")) {
                    id.platform = Text(*t, At(where, "platform"));
                }
                options.identifications.push_back(id);
            }
        }
    } catch (const DescriptionError& e) {
        status.message = e.what();
    }
    return options;
}

DescriptionStatus BuildFromDescription(const json& description, AafBuilder& builder) {
    try {
        Reader(builder).Read(description);
    } catch (const DescriptionError& e) {
        return {e.what()};
    }
    return {};
}

}  // namespace tessel::mkaaf
