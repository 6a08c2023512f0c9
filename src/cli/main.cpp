// tessel-convert: converts EDIUS AAF exports into Final Cut Pro XML documents.

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

#include "cli/command_line.h"
#include "cli/console_log.h"
#include "cli/report_json.h"
#include "job/conversion_job.h"
#include "job/conversion_report.h"
#include "model/log.h"
#include "platform/files.h"
#include "platform/program.h"
#include "xmeml/atomic_file.h"

namespace {

constexpr const char* kPrefix = "tessel-convert: ";

enum ExitCode : int { kExitOk = 0, kExitFailed = 1, kExitUsage = 2 };

class StatusCollector : public ConversionClient {
  public:
    void PostConversionDone(ConversionStatus status) override { status_ = status; }
    ConversionStatus status() const { return status_; }

  private:
    ConversionStatus status_ = ConversionStatus::kAborted;
};

bool WriteLogFile(const std::string& path, const std::string& text) {
    std::ofstream file(tessel::platform::PathFromUtf8(path), std::ios::binary | std::ios::trunc);
    if (!file) {
        std::cerr << kPrefix << "cannot write the log file " << path << ": " << std::strerror(errno)
                  << '\n';
        return false;
    }
    file << text;
    file.close();
    if (!file) {
        std::cerr << kPrefix << "cannot write the log file " << path << '\n';
        return false;
    }
    return true;
}

// The report is saved like the document: a failed write leaves an earlier report whole.
bool WriteReportFile(const std::string& path, const std::string& text) {
    const SaveStatus saved = WriteFileAtomically(path, [&text](ByteSink& out) { out.Write(text); });
    if (!saved.ok) {
        std::cerr << kPrefix << "cannot write the report " << path << ": " << saved.message << '\n';
    }
    return saved.ok;
}

// The summary lines of one conversion; in a batch each names its input.
void PrintSummary(const ConversionReport& report, const CommandLine& commandLine) {
    std::string text = ReportSummaryText(report);
    if (text.empty()) {
        return;
    }
    if (commandLine.batch) {
        text.insert(0, report.input + ": ");
    }
    std::cerr << text;
    const bool somethingLeft =
        report.SourceClipsNotCarried() > 0 || report.TitlesWithDefaultText() > 0;
    if (somethingLeft && commandLine.reportPath.empty()) {
        std::cerr << "(--report FILE.json lists every part left out)\n";
    }
}

// A title folder the user named must be a folder: a mistyped name would otherwise leave every
// title with its default text. Returns why not, or empty text.
std::string TitleFolderProblem(const std::vector<std::string>& folders) {
    for (const std::string& folder : folders) {
        std::error_code error;
        const std::filesystem::file_status status =
            std::filesystem::status(tessel::platform::PathFromUtf8(folder), error);
        if (!std::filesystem::exists(status)) {
            return "title folder " + folder + " does not exist";
        }
        if (!std::filesystem::is_directory(status)) {
            return "title folder " + folder + " is not a folder";
        }
    }
    return {};
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args = tessel::platform::ProgramArguments(argc, argv);
    CommandLine commandLine = ParseCommandLine(args);
    if (!commandLine.usageError.empty()) {
        std::cerr << kPrefix << commandLine.usageError << '\n'
                  << "Try 'tessel-convert --help' for more information.\n";
        return kExitUsage;
    }
    if (commandLine.showHelp) {
        std::cout << UsageText();
        return kExitOk;
    }
    if (commandLine.showVersion) {
        std::cout << "tessel-convert " << TESSEL_VERSION << '\n';
        return kExitOk;
    }

    if (const std::string problem = TitleFolderProblem(commandLine.request.titleFolders);
        !problem.empty()) {
        std::cerr << kPrefix << problem << '\n';
        return kExitUsage;
    }

    ConsoleLog log(commandLine.verbosity, std::cerr);
    SetLogTarget(&log);
    LoadAafLibrary();
    std::vector<ConversionReport> reports;
    size_t failed = 0;
    // One input failing does not stop the others.
    for (const PlannedConversion& plan : PlanConversions(commandLine)) {
        ConversionReport& report = reports.emplace_back();
        if (!plan.problem.empty()) {
            report.input = plan.inputPath;
            report.error = plan.problem;
            std::cerr << kPrefix << plan.inputPath << ": " << plan.problem << '\n';
            ++failed;
            continue;
        }
        if (commandLine.batch && commandLine.verbosity != Verbosity::kQuiet) {
            std::cerr << plan.inputPath << '\n';
        }
        ConversionRequest request = commandLine.request;
        request.inputPath = plan.inputPath;
        request.outputPath = plan.outputPath;
        request.report = &report;
        LogLine("Start of Convertion...", kLogMilestone);
        StatusCollector done;
        ConversionThread(request, &done);
        if (done.status() != ConversionStatus::kSucceeded) {
            ++failed;
        }
        if (commandLine.verbosity != Verbosity::kQuiet) {
            PrintSummary(report, commandLine);
        }
    }
    UnloadAafLibrary();
    SetLogTarget(nullptr);

    if (commandLine.batch && commandLine.verbosity != Verbosity::kQuiet) {
        std::cerr << reports.size() - failed << " of " << reports.size() << " inputs converted\n";
    }
    bool filesWritten =
        commandLine.logPath.empty() || WriteLogFile(commandLine.logPath, log.Text());
    if (!commandLine.reportPath.empty()) {
        const std::string text =
            commandLine.batch ? ReportsJsonText(reports) : ReportJsonText(reports.front());
        filesWritten = WriteReportFile(commandLine.reportPath, text) && filesWritten;
    }
    return failed == 0 && filesWritten ? kExitOk : kExitFailed;
}
