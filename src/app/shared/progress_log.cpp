#include "app/shared/progress_log.h"

#include "model/log.h"

bool BecomesStatusLine(int kind) {
    return kind == kLogError || kind == kLogMilestone;
}

bool ProgressLog::Take(int kind, std::string_view line) {
    const bool status = BecomesStatusLine(kind);
    if (status) {
        m_status.assign(line);
    }
    m_log.append(line);
    return status;
}

std::string_view ProgressLog::ShownStatus() const {
    std::string_view shown = m_status;
    if (shown.ends_with("\r\n")) {
        shown.remove_suffix(2);
    }
    return shown;
}
