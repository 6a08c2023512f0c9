#pragma once

#include <string>
#include <vector>

#include "job/conversion_job.h"

/// Which log lines the command line prints to stderr.
enum class Verbosity {
    kQuiet,    ///< errors only
    kNormal,   ///< errors, warnings and milestones
    kVerbose,  ///< every line
};

/// What `tessel-convert` was asked to do.
struct CommandLine {
    ConversionRequest request;
    Verbosity verbosity = Verbosity::kNormal;
    /// Where to write the whole log text; empty for none.
    std::string logPath;
    bool showHelp = false;
    bool showVersion = false;
    /// Set when the arguments are not usable; says why.
    std::string usageError;
};

/// Reads the arguments after the program name.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

/// The output path used when none is given: the input up to the last "." of its file name plus
/// ".xml", or the input plus ".xml" when the file name has no ".".
std::string DefaultOutputPath(const std::string& inputPath);

/// The text of `tessel-convert --help`.
std::string UsageText();
