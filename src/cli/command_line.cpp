#include "cli/command_line.h"

#include <optional>
#include <string_view>

namespace {

// Accepts "--name VALUE" and "--name=VALUE"; advances `index` past a separate value.
std::optional<std::string> OptionValue(const std::vector<std::string>& args, size_t& index,
                                       std::string_view name, std::string& error) {
    const std::string& arg = args[index];
    if (arg.size() > name.size() && arg.compare(0, name.size(), name) == 0 &&
        arg[name.size()] == '=') {
        return arg.substr(name.size() + 1);
    }
    if (arg != name) {
        return std::nullopt;
    }
    if (index + 1 >= args.size()) {
        error = "option " + std::string(name) + " needs a value";
        return std::nullopt;
    }
    ++index;
    return args[index];
}

}  // namespace

std::string DefaultOutputPath(const std::string& inputPath) {
    // Only a "." of the file name counts: cutting at a "." of a folder name would put the
    // document beside that folder, possibly over an unrelated file.
    size_t nameStart = inputPath.find_last_of('/');
    nameStart = nameStart == std::string::npos ? 0 : nameStart + 1;
    size_t dot = inputPath.rfind('.');
    if (dot == std::string::npos || dot < nameStart) {
        return inputPath + ".xml";
    }
    return inputPath.substr(0, dot) + ".xml";
}

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
    CommandLine result;
    std::vector<std::string> positional;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size() && result.usageError.empty(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
            positional.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "-h" || arg == "--help") {
            result.showHelp = true;
        } else if (arg == "--version") {
            result.showVersion = true;
        } else if (arg == "-v" || arg == "--verbose") {
            result.verbosity = Verbosity::kVerbose;
        } else if (arg == "-q" || arg == "--quiet") {
            result.verbosity = Verbosity::kQuiet;
        } else if (arg == "--no-rename") {
            result.request.renameAviToMov = false;
        } else if (arg == "--portable") {
            result.request.portable = true;
        } else if (auto log = OptionValue(args, i, "--log", result.usageError)) {
            result.logPath = *log;
        } else if (auto titles = OptionValue(args, i, "--titles", result.usageError)) {
            result.request.titleFolders.push_back(*titles);
        } else if (result.usageError.empty()) {
            result.usageError = "unknown option " + arg;
        }
    }
    if (!result.usageError.empty() || result.showHelp || result.showVersion) {
        return result;
    }
    if (positional.empty()) {
        result.usageError = "no input file given";
    } else if (positional.size() > 2) {
        result.usageError = "too many arguments";
    } else {
        result.request.inputPath = positional[0];
        result.request.outputPath =
            positional.size() == 2 ? positional[1] : DefaultOutputPath(positional[0]);
        if (!result.logPath.empty() && (result.logPath == result.request.inputPath ||
                                        result.logPath == result.request.outputPath)) {
            result.usageError = "the log file must differ from the input and the output file";
        }
    }
    return result;
}

std::string UsageText() {
    return "Usage: tessel-convert [options] INPUT.aaf [OUTPUT.xml]\n"
           "Converts the timeline of an AAF file exported by EDIUS into a Final Cut Pro XML\n"
           "Interchange document (xmeml version 4). OUTPUT defaults to INPUT with the extension\n"
           "\".xml\".\n"
           "\n"
           "Options:\n"
           "  --no-rename      keep media paths ending in \".avi\" (by default they become "
           "\".mov\")\n"
           "  --portable       write the form that Premiere Pro, DaVinci Resolve and other\n"
           "                   importers read whole: file:// URLs for media paths, effect\n"
           "                   types, no empty rates, track states, each media file described\n"
           "                   once per sequence (see docs/importing.md)\n"
           "  --titles DIR     also look for title documents (.etl) in DIR; may be repeated\n"
           "  --log FILE       write the whole conversion log to FILE\n"
           "  -v, --verbose    print every log line\n"
           "  -q, --quiet      print errors only\n"
           "  -h, --help       show this help and exit\n"
           "      --version    show the version and exit\n"
           "\n"
           "Errors, warnings and milestones are printed to stderr. Exit status: 0 converted,\n"
           "1 conversion failed, 2 usage error.\n";
}
