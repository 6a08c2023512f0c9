// tessel-convert: converts one EDIUS AAF export into a Final Cut Pro XML document.

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/console_log.h"
#include "job/conversion_job.h"
#include "job/log.h"

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
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
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

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
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
