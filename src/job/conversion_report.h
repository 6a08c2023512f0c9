#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/not_carried.h"

class FCInterchange;
class FCSequence;

/// A part of a track left out of the document, with where it lies.
struct NotCarriedReport {
    std::string track;  ///< "V2", "A1": kind and number as the document numbers its tracks
    uint32_t slotId = 0;
    std::string timecode;  ///< the position as the sequence's timecode, for people
    FCNotCarried what;
};

/// What became of the titles of one sequence.
struct TitleReport {
    uint64_t read = 0;         ///< titles whose document was read
    uint64_t defaultText = 0;  ///< titles whose document did not load: the default text stays
    std::vector<std::string> pathsNotFound;  ///< their paths as the AAF file gives them, once each
};

/// What one composition held and what its sequence in the document holds.
struct SequenceReport {
    std::string name;
    uint64_t sourceClipsInTimeline = 0;
    uint64_t sourceClipsWritten = 0;
    uint64_t clipItems = 0;
    uint64_t generatorItems = 0;
    uint64_t transitions = 0;
    uint64_t speedChanges = 0;
    TitleReport titles;
    std::vector<NotCarriedReport> notCarried;

    uint64_t SourceClipsNotCarried() const;
};

/// What went in and what came out of one conversion.
struct ConversionReport {
    std::string input;
    std::string output;
    bool converted = false;
    std::string error;  ///< the first error the conversion logged, when it failed
    std::vector<SequenceReport> sequences;

    uint64_t SourceClipsInTimeline() const;
    uint64_t SourceClipsWritten() const;
    uint64_t SourceClipsNotCarried() const;
    uint64_t TitlesWithDefaultText() const;
};

/// The counts of one built sequence (after its clip items have resolved their links and titles).
SequenceReport ReportSequence(const FCSequence& sequence);
/// Replaces `report.sequences` with those of `interchange`, in the document's order.
void ReportSequences(const FCInterchange& interchange, ConversionReport& report);

/// Two or three lines for people: sequences and source clips written, what was not carried and
/// where, titles that kept their default text. Each line ends in "\n"; empty for a failed
/// conversion that built nothing.
std::string ReportSummaryText(const ConversionReport& report);
