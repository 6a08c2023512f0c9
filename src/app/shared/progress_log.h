#pragma once

#include <string>
#include <string_view>

/// What the log target keeps of the conversions: the whole log of the current one and the
/// status line (the last error or milestone line). Touched only on the dialog's thread.
class ProgressLog {
  public:
    /// Appends one line ("text\r\n"); true when it also became the status line.
    bool Take(int kind, std::string_view line);
    /// A new conversion starts: the log is emptied, the status line is kept.
    void StartConversion() { m_log.clear(); }

    const std::string& Log() const { return m_log; }
    /// The status line with its "\r\n".
    const std::string& Status() const { return m_status; }
    /// The status line as the static control shows it: without the line break.
    std::string_view ShownStatus() const;

  private:
    std::string m_log;
    std::string m_status;
};

/// Errors and milestones become the status line; every other kind goes to the log only.
bool BecomesStatusLine(int kind);
