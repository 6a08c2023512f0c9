#pragma once

#include <string>
#include <string_view>

/// Kinds of progress-log lines.
enum LogKind : int {
    kLogProgress = 0,   ///< ordinary progress line; the status line is unchanged
    kLogError = 1,      ///< error; also becomes the status line
    kLogMilestone = 2,  ///< milestone; also becomes the status line
    kLogWarning = 3,    ///< warning; log only
};

/// The receiver of log lines (the dialog, the command line, a test).
/// `TakeLogLine` must not return before the line is in the receiver's log; the receiver decides
/// on which thread it touches its own state.
class LogTarget {
  public:
    virtual ~LogTarget() = default;
    /// `line` is the message text followed by "\r\n".
    virtual void TakeLogLine(int kind, std::string line) = 0;
};

/// Registers the process-wide log target (nullptr unregisters). Lines logged while no target is
/// registered are dropped.
void SetLogTarget(LogTarget* target);
LogTarget* GetLogTarget();

/// Appends "text\r\n" to the registered target's log, or drops it when there is none.
void LogLine(std::string_view text, int kind);
