#include "app/shared/details_summary.h"

std::string DetailsSummary(const ConversionReport& report) {
    const std::string text = ReportSummaryText(report);
    std::string lines;
    lines.reserve(text.size() + 4);
    for (const char c : text) {
        if (c == '\n') {
            lines += '\r';
        }
        lines += c;
    }
    return lines;
}
