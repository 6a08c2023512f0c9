// The report as text for a person: one line per object, nesting shown by indentation.

#include <sstream>

#include "aaf_report.h"

namespace tessel::aafinfo {

namespace {

using Json = nlohmann::ordered_json;

std::string Text(const Json& json, const char* key, const std::string& fallback = "") {
    auto found = json.find(key);
    if (found == json.end()) {
        return fallback;
    }
    return found->is_string() ? found->get<std::string>() : found->dump();
}

void Indent(std::ostringstream& out, int depth) {
    out << std::string(static_cast<std::size_t>(2 * depth), ' ');
}

void Component(std::ostringstream& out, const Json& component, int depth) {
    Indent(out, depth);
    out << Text(component, "class");
    if (component.contains("operation")) {
        out << " \"" << Text(component, "operation") << "\"";
    }
    if (component.contains("length")) {
        out << " length " << Text(component, "length");
    }
    if (component.contains("source")) {
        const Json& source = component["source"];
        out << " -> " << Text(source, "mob_id");
        if (source.contains("slot_id")) {
            out << " slot " << Text(source, "slot_id") << " start " << Text(source, "start");
        }
    }
    if (component.contains("cut_point")) {
        out << " cut point " << Text(component, "cut_point");
    }
    if (component.contains("speed_ratio")) {
        out << " speed ratio " << Text(component, "speed_ratio");
    }
    if (component.contains("timecode")) {
        const Json& timecode = component["timecode"];
        out << " timecode start " << Text(timecode, "start") << " fps " << Text(timecode, "fps")
            << (timecode["drop"].get<bool>() ? " drop" : " non-drop");
    }
    if (component.value("truncated", false)) {
        out << " (nested too deeply; not shown)";
    }
    out << "\n";
    for (const char* key : {"effect", "input", "rendering", "selected"}) {
        if (component.contains(key)) {
            Component(out, component[key], depth + 1);
        }
    }
    for (const char* key : {"inputs", "components", "slots", "alternates", "choices"}) {
        if (component.contains(key)) {
            for (const Json& child : component[key]) {
                Component(out, child, depth + 1);
            }
        }
    }
}

void Slot(std::ostringstream& out, const Json& slot, int depth) {
    Indent(out, depth);
    out << "Slot " << Text(slot, "slot_id", "?");
    if (slot.contains("name")) {
        out << " \"" << Text(slot, "name") << "\"";
    }
    if (slot.contains("physical_number")) {
        out << " physical " << Text(slot, "physical_number");
    }
    out << ", " << Text(slot, "kind");
    if (slot.contains("edit_rate")) {
        out << ", edit rate " << Text(slot, "edit_rate");
    }
    out << " (" << Text(slot, "class") << ")\n";
    for (const Json& component : slot["components"]) {
        Component(out, component, depth + 1);
    }
}

void Descriptor(std::ostringstream& out, const Json& descriptor, int depth) {
    Indent(out, depth);
    out << "Descriptor " << Text(descriptor, "class");
    if (descriptor.contains("sample_rate")) {
        out << ", sample rate " << Text(descriptor, "sample_rate");
    }
    if (descriptor.contains("length")) {
        out << ", length " << Text(descriptor, "length");
    }
    out << "\n";
    for (const Json& locator : descriptor["locators"]) {
        Indent(out, depth + 1);
        out << Text(locator, "class") << " " << Text(locator, "path", Text(locator, "text"))
            << "\n";
    }
    if (descriptor.contains("wave")) {
        const Json& wave = descriptor["wave"];
        Indent(out, depth + 1);
        out << "WAVE summary " << Text(wave, "summary_size") << " bytes";
        if (wave.contains("channels")) {
            out << ": " << Text(wave, "channels") << " channels, " << Text(wave, "sample_rate")
                << " Hz, " << Text(wave, "bits_per_sample") << " bits";
        }
        out << "\n";
    }
    if (descriptor.contains("picture")) {
        const Json& picture = descriptor["picture"];
        Indent(out, depth + 1);
        out << "Picture stored " << Text(picture, "stored_width", "?") << " x "
            << Text(picture, "stored_height", "?") << ", aspect "
            << Text(picture, "aspect_ratio", "?") << ", video line map "
            << Text(picture, "video_line_map", "none") << "\n";
    }
}

void Mob(std::ostringstream& out, const Json& mob, const std::string& title) {
    out << title;
    if (mob.contains("name")) {
        out << " \"" << Text(mob, "name") << "\"";
    }
    out << " " << Text(mob, "mob_id") << "\n";
    if (mob.contains("source_clips_in_timeline")) {
        out << "  " << Text(mob, "source_clips_in_timeline")
            << " source clip(s) in the picture and sound slots\n";
    }
    if (mob.value("missing", false)) {
        out << "  (not in the file)\n";
        return;
    }
    for (const Json& slot : mob["slots"]) {
        Slot(out, slot, 1);
    }
    if (mob.contains("descriptor")) {
        Descriptor(out, mob["descriptor"], 1);
    }
}

}  // namespace

std::string FormatText(const Json& report) {
    std::ostringstream out;
    out << "File: " << Text(report, "file") << "\n";
    const Json& identification = report["identification"];
    out << "Written by: " << Text(identification, "company", "?") << " / "
        << Text(identification, "product", "?") << " / " << Text(identification, "version", "?");
    if (identification.contains("platform")) {
        out << " (" << Text(identification, "platform") << ")";
    }
    out << "\n";
    if (identification.contains("modified_by")) {
        for (const Json& later : identification["modified_by"]) {
            out << "Modified by: " << Text(later, "company", "?") << " / "
                << Text(later, "product", "?") << " / " << Text(later, "version", "?") << "\n";
        }
    }
    const Json& compositions = report["compositions"];
    out << "\n" << compositions.size() << " composition(s)\n";
    int number = 1;
    for (const Json& composition : compositions) {
        out << "\n";
        Mob(out, composition, "Composition " + std::to_string(number++));
    }
    const Json& referenced = report["referenced_mobs"];
    if (!referenced.empty()) {
        out << "\n" << referenced.size() << " referenced mob(s)\n";
        for (const Json& mob : referenced) {
            out << "\n";
            Mob(out, mob, Text(mob, "class", "Mob"));
        }
    }
    return out.str();
}

}  // namespace tessel::aafinfo
