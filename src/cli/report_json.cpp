#include "cli/report_json.h"

#include <nlohmann/json.hpp>

namespace {

using Json = nlohmann::ordered_json;

Json SequenceJson(const SequenceReport& sequence) {
    Json notCarried = Json::array();
    for (const NotCarriedReport& entry : sequence.notCarried) {
        notCarried.push_back({{"track", entry.track},
                              {"slot_id", entry.slotId},
                              {"position", entry.what.position},
                              {"length", entry.what.length},
                              {"timecode", entry.timecode},
                              {"kind", entry.what.kind},
                              {"source_clips", entry.what.sourceClips},
                              {"reason", entry.what.reason}});
    }
    return {{"name", sequence.name},
            {"source_clips_in_timeline", sequence.sourceClipsInTimeline},
            {"source_clips_written", sequence.sourceClipsWritten},
            {"clip_items", sequence.clipItems},
            {"generator_items", sequence.generatorItems},
            {"transitions", sequence.transitions},
            {"speed_changes", sequence.speedChanges},
            {"titles",
             {{"read", sequence.titles.read},
              {"default_text", sequence.titles.defaultText},
              {"paths_not_found", sequence.titles.pathsNotFound}}},
            {"not_carried", std::move(notCarried)}};
}

Json ReportJson(const ConversionReport& report) {
    Json json = {{"input", report.input},
                 {"output", report.output},
                 {"status", report.converted ? "converted" : "failed"}};
    if (!report.converted) {
        json["error"] = report.error;
    }
    Json sequences = Json::array();
    for (const SequenceReport& sequence : report.sequences) {
        sequences.push_back(SequenceJson(sequence));
    }
    json["sequences"] = std::move(sequences);
    json["totals"] = {{"source_clips_in_timeline", report.SourceClipsInTimeline()},
                      {"source_clips_written", report.SourceClipsWritten()},
                      {"source_clips_not_carried", report.SourceClipsNotCarried()}};
    return json;
}

// Names and paths come from the file and need not be UTF-8: bad bytes become U+FFFD rather
// than failing the report.
std::string Text(const Json& json) {
    return json.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

}  // namespace

std::string ReportJsonText(const ConversionReport& report) {
    return Text(ReportJson(report));
}

std::string ReportsJsonText(const std::vector<ConversionReport>& reports) {
    Json json = Json::array();
    for (const ConversionReport& report : reports) {
        json.push_back(ReportJson(report));
    }
    return Text(json);
}
