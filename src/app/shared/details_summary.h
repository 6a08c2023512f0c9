#pragma once

#include <string>

#include "job/conversion_report.h"

/// The lines the details dialog shows below the log: what went in and what came out, with CR LF
/// line ends like the log's; empty when the conversion built nothing.
std::string DetailsSummary(const ConversionReport& report);
