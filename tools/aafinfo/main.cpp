// tessel-aafinfo: shows what an AAF file holds.

#include <cstdio>
#include <cstring>
#include <string>

#include "aaf_report.h"

namespace {

constexpr const char* kUsage = "usage: tessel-aafinfo FILE.aaf [--json]\n";

}  // namespace

int main(int argc, char** argv) {
    std::string path;
    bool json = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--json") == 0) {
            json = true;
        } else if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (path.empty() && argv[i][0] != '-') {
            path = argv[i];
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
