#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tessel::reliability {

/// How a program run ended.
struct ProgramRun {
    int exitCode = -1;   ///< -1 when it did not exit normally
    int signal = 0;      ///< the signal that ended it, if one did
    std::string output;  ///< stdout and stderr together
    long maxResidentKb = 0;
};

struct ProgramOptions {
    std::string workingFolder;        ///< empty: the test's own
    std::uint64_t fileSizeLimit = 0;  ///< bytes any one file may grow to; 0: no limit
};

/// Runs `program` with `arguments` (no shell) and waits for it.
ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const ProgramOptions& options = {});

}  // namespace tessel::reliability
