// tessel-convert: converts one EDIUS AAF export into a Final Cut Pro XML document.

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
#include "job/conversion_job.h"
#include "model/log.h"
#include "platform/files.h"
#include "platform/program.h"

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
    LogLine("Start of Convertion...", kLogMilestone);
    StatusCollector done;
    ConversionThread(commandLine.request, &done);
    UnloadAafLibrary();
    SetLogTarget(nullptr);

    bool logWritten = commandLine.logPath.empty() || WriteLogFile(commandLine.logPath, log.Text());
    return done.status() == ConversionStatus::kSucceeded && logWritten ? kExitOk : kExitFailed;
}
