#include "job/conversion_report.h"

#include <algorithm>
#include <cstdio>
#include <set>

#include "model/clip_item.h"
#include "model/interchange.h"
#include "model/sequence.h"
#include "model/track.h"

namespace {

// At most this many places are named in the summary; the report has them all.
constexpr size_t kPlacesShown = 3;

std::string TrackName(const FCTrackBase& track) {
    std::string name(1, track.mediaKind == kMediaVideo ? 'V' : 'A');
    name += std::to_string(track.number);
    return name;
}

// A position on a track as the sequence's timecode (non-drop: the position only has to be found).
std::string TimecodeAt(const FCSequence& sequence, int64_t position) {
    const int64_t fps = sequence.startTimecode.fps;
    if (fps <= 0) {
        return "frame " + std::to_string(position);
    }
    int64_t frame = sequence.startTimecode.startFrame + position;
    if (frame < 0) {
        return "frame " + std::to_string(position);
    }
    const int64_t frames = frame % fps;
    frame /= fps;
    char text[48];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld:%02lld",
                  static_cast<long long>(frame / 3600), static_cast<long long>(frame / 60 % 60),
                  static_cast<long long>(frame % 60), static_cast<long long>(frames));
    return text;
}

}  // namespace

uint64_t SequenceReport::SourceClipsNotCarried() const {
    uint64_t total = 0;
    for (const NotCarriedReport& entry : notCarried) {
        total += entry.what.sourceClips;
    }
    return total;
}

uint64_t ConversionReport::SourceClipsInTimeline() const {
    uint64_t total = 0;
    for (const SequenceReport& sequence : sequences) {
        total += sequence.sourceClipsInTimeline;
    }
    return total;
}

uint64_t ConversionReport::SourceClipsWritten() const {
    uint64_t total = 0;
    for (const SequenceReport& sequence : sequences) {
        total += sequence.sourceClipsWritten;
    }
    return total;
}

uint64_t ConversionReport::SourceClipsNotCarried() const {
    uint64_t total = 0;
    for (const SequenceReport& sequence : sequences) {
        total += sequence.SourceClipsNotCarried();
    }
    return total;
}

uint64_t ConversionReport::TitlesWithDefaultText() const {
    uint64_t total = 0;
    for (const SequenceReport& sequence : sequences) {
        total += sequence.titles.defaultText;
    }
    return total;
}

SequenceReport ReportSequence(const FCSequence& sequence) {
    SequenceReport report;
    report.name = sequence.name;
    std::set<std::string> pathsNotFound;
    for (const std::unique_ptr<FCTrackBase>& track : sequence.tracks) {
        if (!track) {
            continue;
        }
        report.sourceClipsInTimeline += track->sourceClipsInSlot;
        for (const ClipItemPtr& item : track->clipItems) {
            ++report.sourceClipsWritten;
            const auto* video = dynamic_cast<const FCVideoClipItem*>(item.get());
            if (video != nullptr && video->generatorKind == kGeneratorTitle) {
                ++report.generatorItems;
                if (!video->title) {
                    continue;  // links not resolved yet: the title is not read
                }
                if (video->title->documentPath.empty()) {
                    ++report.titles.defaultText;
                    if (pathsNotFound.insert(video->mediaPath).second) {
                        report.titles.pathsNotFound.push_back(video->mediaPath);
                    }
                } else {
                    ++report.titles.read;
                }
                continue;
            }
            ++report.clipItems;
            if (item->hasTransition) {
                ++report.transitions;
            }
            if (item->speedNumerator != 1 || item->speedDenominator != 1 || item->reverse) {
                ++report.speedChanges;
            }
        }
        for (const FCNotCarried& what : track->notCarried) {
            NotCarriedReport& entry = report.notCarried.emplace_back();
            entry.track = TrackName(*track);
            entry.slotId = track->slotId;
            entry.timecode = TimecodeAt(sequence, what.position);
            entry.what = what;
        }
    }
    return report;
}

void ReportSequences(const FCInterchange& interchange, ConversionReport& report) {
    report.sequences.clear();
    for (const std::unique_ptr<FCSequence>& sequence : interchange.sequences) {
        if (sequence) {
            report.sequences.push_back(ReportSequence(*sequence));
        }
    }
}

std::string ReportSummaryText(const ConversionReport& report) {
    if (!report.converted && report.sequences.empty()) {
        return {};
    }
    const size_t count = report.sequences.size();
    std::string text = std::to_string(count) + (count == 1 ? " sequence, " : " sequences, ") +
                       std::to_string(report.SourceClipsWritten()) + " of " +
                       std::to_string(report.SourceClipsInTimeline()) + " source clips written";
    if (const uint64_t notCarried = report.SourceClipsNotCarried(); notCarried > 0) {
        text += "; " + std::to_string(notCarried) + " not carried (";
        size_t shown = 0;
        size_t places = 0;
        for (const SequenceReport& sequence : report.sequences) {
            for (const NotCarriedReport& entry : sequence.notCarried) {
                if (shown < kPlacesShown) {
                    text += (shown > 0 ? ", " : "") + entry.what.reason + " in " + entry.track;
                    if (count > 1) {
                        text += " of " + sequence.name;
                    }
                    text += " at " + entry.timecode;
                    ++shown;
                }
                ++places;
            }
        }
        text += places > shown ? ", \xE2\x80\xA6)" : ")";
    }
    text += "\n";
    if (const uint64_t titles = report.TitlesWithDefaultText(); titles > 0) {
        text += std::to_string(titles) +
                (titles == 1 ? " title kept its default text (title document not found)\n"
                             : " titles kept their default text (title documents not found)\n");
    }
    return text;
}
