#include "cli/console_log.h"

#include <ostream>
#include <string_view>

bool ConsoleLog::Shows(int kind) const {
    switch (verbosity_) {
        case Verbosity::kVerbose:
            return true;
        case Verbosity::kNormal:
            return kind == kLogError || kind == kLogMilestone || kind == kLogWarning;
        case Verbosity::kQuiet:
            return kind == kLogError;
    }
    return true;
}

void ConsoleLog::TakeLogLine(int kind, std::string line) {
    std::lock_guard lock(mutex_);
    if (Shows(kind)) {
        std::string_view text = line;
        if (text.ends_with("\r\n")) {
            text.remove_suffix(2);
        }
        out_ << text << '\n' << std::flush;
    }
    text_ += line;
}

std::string ConsoleLog::Text() const {
    std::lock_guard lock(mutex_);
    return text_;
}
