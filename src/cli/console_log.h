#pragma once

#include <iosfwd>
#include <mutex>
#include <string>

#include "cli/command_line.h"
#include "model/log.h"

/// The command line's log target: prints the lines its verbosity asks for and keeps the whole
/// log text as the details dialog would show it.
class ConsoleLog : public LogTarget {
  public:
    ConsoleLog(Verbosity verbosity, std::ostream& out) : verbosity_(verbosity), out_(out) {}

    void TakeLogLine(int kind, std::string line) override;

    /// Every line taken so far, each ending in "\r\n".
    std::string Text() const;

  private:
    bool Shows(int kind) const;

    Verbosity verbosity_;
    std::ostream& out_;
    mutable std::mutex mutex_;
    std::string text_;
};
