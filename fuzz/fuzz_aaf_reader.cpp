// Fuzz target: the AAF reader alone. Opens the input and walks everything tessel-aafinfo
// shows (identification, compositions with their slots and components, referenced mobs with
// their descriptors), in both of its output forms.

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "aaf_report.h"
#include "fuzz_input_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The reader maps files by path; one file per process is rewritten for every input.
    static const tessel::fuzz::FuzzInputFile input("input.aaf");
    input.Write(data, size);
    const tessel::aafinfo::Report report = tessel::aafinfo::BuildReport(input.Path());
    if (AAFRESULT_FAILED(report.code)) {
        // A refused file must say why.
        if (report.error.empty() || AafResultText(report.code).empty()) {
            std::fprintf(stderr, "refused with code %d but no message\n", report.code);
            std::abort();
        }
        return 0;
    }
    // Names come from the file: the text and JSON forms must take whatever they hold.
    const std::string text = tessel::aafinfo::FormatText(report.json);
    const std::string json = report.json.dump(2);
    if (text.empty() || json.empty()) {
        std::abort();
    }
    return 0;
}
