#pragma once

#include <string>
#include <vector>

// What a command-line program needs from the system at its start.
namespace tessel::platform {

/// The program's arguments (without its own name) as UTF-8. On Windows they are taken from the
/// UTF-16 command line, not from the ANSI `argv`, and the console is set to show UTF-8.
std::vector<std::string> ProgramArguments(int argc, char** argv);

}  // namespace tessel::platform
