#pragma once

#include <string>
#include <vector>

#include "job/conversion_report.h"

/// The report of one conversion as a JSON object (two-space indented text).
std::string ReportJsonText(const ConversionReport& report);

/// The reports of a batch as a JSON array, one entry per input, in the order converted.
std::string ReportsJsonText(const std::vector<ConversionReport>& reports);
