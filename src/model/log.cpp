#include "model/log.h"

#include <atomic>
#include <utility>

namespace {

// Read by any thread that logs, written by the front end; the target itself must outlive every
// conversion that can log to it.
std::atomic<LogTarget*> g_logTarget{nullptr};

}  // namespace

void SetLogTarget(LogTarget* target) {
    g_logTarget.store(target, std::memory_order_release);
}

LogTarget* GetLogTarget() {
    return g_logTarget.load(std::memory_order_acquire);
}

void LogLine(std::string_view text, int kind) {
    LogTarget* target = GetLogTarget();
    if (target == nullptr) {
        return;
    }
    std::string line;
    line.reserve(text.size() + 2);
    line.append(text);
    line.append("\r\n");
    target->TakeLogLine(kind, std::move(line));
}
