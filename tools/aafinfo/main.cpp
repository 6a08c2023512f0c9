// tessel-aafinfo: shows what an AAF file holds.

#include <cstdio>
#include <string>

#include "aaf_report.h"
#include "platform/program.h"

namespace {

constexpr const char* kUsage = "usage: tessel-aafinfo FILE.aaf [--json]\n";

}  // namespace

int main(int argc, char** argv) {
    std::string path;
    bool json = false;
    for (const std::string& arg : tessel::platform::ProgramArguments(argc, argv)) {
        if (arg == "--json") {
            json = true;
        } else if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (path.empty() && !arg.empty() && arg[0] != '-') {
            path = arg;
        } else {
            std::fputs(kUsage, stderr);
            return 2;
        }
    }
    if (path.empty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const tessel::aafinfo::Report report = tessel::aafinfo::BuildReport(path);
    if (AAFRESULT_FAILED(report.code)) {
        std::fprintf(stderr, "tessel-aafinfo: %s: %s\n", path.c_str(), report.error.c_str());
        return 1;
    }
    const std::string text =
        json ? report.json.dump(2) + "\n" : tessel::aafinfo::FormatText(report.json);
    std::fputs(text.c_str(), stdout);
    return 0;
}
