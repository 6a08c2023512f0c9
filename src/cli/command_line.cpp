#include "cli/command_line.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>
#include <set>
#include <string_view>
#include <system_error>

#include "platform/files.h"

namespace {

namespace fs = std::filesystem;

fs::path PathOf(const std::string& utf8) {
    return tessel::platform::PathFromUtf8(utf8);
}

// One spelling per file, to find two names of the same output.
std::string Key(const std::string& path) {
    std::error_code error;
    fs::path absolute = fs::absolute(PathOf(path), error);
    return tessel::platform::Utf8FromPath(error ? PathOf(path) : absolute.lexically_normal());
}

bool IsFolder(const std::string& path) {
    std::error_code error;
    return fs::is_directory(PathOf(path), error);
}

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    return fs::equivalent(PathOf(a), PathOf(b), error) && !error;
}

bool EndsInAaf(std::string_view path) {
    if (path.size() < 4) {
        return false;
    }
    std::string end(path.substr(path.size() - 4));
    std::transform(end.begin(), end.end(), end.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return end == ".aaf";
}

// The ".aaf" files directly in `folder`, in name order.
std::vector<std::string> AafFilesIn(const std::string& folder, std::string& problem) {
    std::vector<fs::path> found;
    std::error_code error;
    for (fs::directory_iterator it(PathOf(folder), error), end; !error && it != end;
         it.increment(error)) {
        std::error_code typeError;
        if (it->is_regular_file(typeError) &&
            EndsInAaf(tessel::platform::Utf8FromPath(it->path().filename()))) {
            found.push_back(it->path());
        }
    }
    if (error) {
        problem = "cannot read the folder " + folder + ": " + error.message();
        return {};
    }
    std::sort(found.begin(), found.end(), [](const fs::path& a, const fs::path& b) {
        return tessel::platform::Utf8FromPath(a.filename()) <
               tessel::platform::Utf8FromPath(b.filename());
    });
    std::vector<std::string> files;
    for (const fs::path& path : found) {
        files.push_back(tessel::platform::Utf8FromPath(path));
    }
    if (files.empty()) {
        problem = "the folder " + folder + " holds no .aaf file";
    }
    return files;
}

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
        } else if (auto report = OptionValue(args, i, "--report", result.usageError)) {
            result.reportPath = *report;
        } else if (auto outputDir = OptionValue(args, i, "--output-dir", result.usageError)) {
            result.outputDir = *outputDir;
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
        return result;
    }
    // A second AAF file is a second input, except the input itself, which is refused as its
    // own output.
    const bool outputNamed = positional.size() == 2 && result.outputDir.empty() &&
                             !IsFolder(positional[1]) &&
                             (!EndsInAaf(positional[1]) || SameFile(positional[0], positional[1]));
    result.inputs = positional;
    if (outputNamed) {
        result.inputs.pop_back();
    }
    result.batch = !outputNamed && (result.inputs.size() > 1 || !result.outputDir.empty() ||
                                    IsFolder(result.inputs.front()));
    if (result.batch) {
        // With several inputs a document name given by mistake must not be read as an input.
        for (const std::string& input : result.inputs) {
            if (!EndsInAaf(input) && !IsFolder(input)) {
                result.usageError = input +
                                    " is neither an .aaf file nor a folder (with several "
                                    "inputs, each is converted beside itself or into "
                                    "--output-dir)";
                return result;
            }
        }
        if (!result.outputDir.empty() && !IsFolder(result.outputDir)) {
            result.usageError = "the output folder " + result.outputDir + " does not exist";
        }
        return result;
    }
    result.request.inputPath = positional[0];
    result.request.outputPath = outputNamed ? positional[1] : DefaultOutputPath(positional[0]);
    for (const std::string* file : {&result.logPath, &result.reportPath}) {
        if (!file->empty() &&
            (*file == result.request.inputPath || *file == result.request.outputPath)) {
            result.usageError =
                "the log and report files must differ from the input and the output file";
        }
    }
    if (!result.logPath.empty() && result.logPath == result.reportPath) {
        result.usageError = "the log and the report must be different files";
    }
    return result;
}

std::vector<PlannedConversion> PlanConversions(const CommandLine& commandLine) {
    std::vector<PlannedConversion> plans;
    if (!commandLine.batch) {
        plans.push_back({commandLine.request.inputPath, commandLine.request.outputPath, {}});
        return plans;
    }
    std::set<std::string> taken;
    for (const std::string* file : {&commandLine.logPath, &commandLine.reportPath}) {
        if (!file->empty()) {
            taken.insert(Key(*file));
        }
    }
    auto add = [&](const std::string& input, std::string problem) {
        PlannedConversion& plan = plans.emplace_back();
        plan.inputPath = input;
        plan.problem = std::move(problem);
        if (!plan.problem.empty()) {
            return;
        }
        plan.outputPath = DefaultOutputPath(input);
        if (!commandLine.outputDir.empty()) {
            plan.outputPath = tessel::platform::Utf8FromPath(PathOf(commandLine.outputDir) /
                                                             PathOf(plan.outputPath).filename());
        }
        const std::string key = Key(plan.outputPath);
        if (taken.contains(key) || taken.contains(Key(input))) {
            plan.problem = "its document " + plan.outputPath +
                           " would replace a file this run writes or reads";
        } else {
            taken.insert(key);
        }
    };
    for (const std::string& input : commandLine.inputs) {
        if (!IsFolder(input)) {
            add(input, {});
            continue;
        }
        std::string problem;
        const std::vector<std::string> files = AafFilesIn(input, problem);
        if (!problem.empty()) {
            add(input, problem);
        }
        for (const std::string& file : files) {
            add(file, {});
        }
    }
    return plans;
}

std::string UsageText() {
    return "Usage: tessel-convert [options] INPUT.aaf [OUTPUT.xml]\n"
           "       tessel-convert [options] [--output-dir DIR] INPUT.aaf|FOLDER ...\n"
           "Converts the timeline of an AAF file exported by EDIUS into a Final Cut Pro XML\n"
           "Interchange document (xmeml version 4). OUTPUT defaults to INPUT with the extension\n"
           "\".xml\". Several inputs are converted in turn, each beside itself or in DIR; a\n"
           "folder stands for every .aaf file in it (not in its subfolders), in name order.\n"
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
           "  --report FILE    write what went in and what came out to FILE (JSON)\n"
           "  --output-dir DIR write the documents into DIR\n"
           "  -v, --verbose    print every log line\n"
           "  -q, --quiet      print errors only\n"
           "  -h, --help       show this help and exit\n"
           "      --version    show the version and exit\n"
           "\n"
           "Errors, warnings, milestones and a summary of each conversion are printed to\n"
           "stderr. Exit status: 0 all converted, 1 a conversion failed, 2 usage error.\n";
}
