#pragma once

#include <filesystem>
#include <string>

/// What a shell command printed (standard output and error together) and its exit status (-1
/// when it did not exit normally or could not be started).
struct CommandResult {
    int status;
    std::string output;
};

/// Runs `command` through /bin/sh.
CommandResult RunCommand(const std::string& command);

/// `path` quoted for /bin/sh, whatever it holds.
std::string Quoted(const std::filesystem::path& path);
