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
    /// Where to write the conversion report (JSON); empty for none.
    std::string reportPath;
    /// Every input named, in order: AAF files or folders of them.
    std::vector<std::string> inputs;
    /// Where the documents go in a batch; empty: each beside its input.
    std::string outputDir;
    /// Several inputs, a folder or an output folder: each input is converted in turn, and the
    /// report holds one entry per AAF file.
    bool batch = false;
    bool showHelp = false;
    bool showVersion = false;
    /// Set when the arguments are not usable; says why.
    std::string usageError;
};

/// Reads the arguments after the program name. Two arguments are an input and its output unless
/// the second is a folder or another ".aaf" file; more are all inputs.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

/// One conversion the command line asks for, or why an input cannot be converted.
struct PlannedConversion {
    std::string inputPath;
    std::string outputPath;
    std::string problem;  ///< set when this input is not converted
};

/// The conversions in order: a folder gives every ".aaf" file directly in it (any letter case),
/// in name order; outputs are named as for a single input, in `outputDir` when it is set. An
/// output that another input of the batch already writes, or that is the log or report file,
/// is a problem of that input rather than a silent overwrite.
std::vector<PlannedConversion> PlanConversions(const CommandLine& commandLine);

/// The output path used when none is given: the input up to the last "." of its file name plus
/// ".xml", or the input plus ".xml" when the file name has no ".".
std::string DefaultOutputPath(const std::string& inputPath);

/// The text of `tessel-convert --help`.
std::string UsageText();
