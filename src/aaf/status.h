#pragma once

#include <string>
#include <utility>

#include "aaf/aaf_result.h"

namespace tessel::aaf {

/// The outcome of an internal step: success, or a result code with what exactly went wrong.
class Status {
  public:
    Status() = default;
    static Status Error(AAFRESULT code, std::string detail) {
        return Status(code, std::move(detail));
    }

    bool ok() const { return code_ == AAFRESULT_SUCCESS; }
    AAFRESULT code() const { return code_; }
    const std::string& detail() const { return detail_; }
    /// The code's sentence followed by the detail.
    std::string Message() const;

  private:
    Status(AAFRESULT code, std::string detail) : code_(code), detail_(std::move(detail)) {}

    AAFRESULT code_ = AAFRESULT_SUCCESS;
    std::string detail_;
};

/// Records the message AafLastOpenError() gives (empty after a successful open).
void SetLastOpenError(std::string message);

}  // namespace tessel::aaf
