#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "aafwriter/builder.h"

namespace tessel::mkaaf {

/// Outcome of reading a description: empty message means success.
struct DescriptionStatus {
    std::string message;
    bool ok() const { return message.empty(); }
};

/// The file layout a description asks for ("format": sector size, byte order, identification).
/// Bad values are reported through `status`.
aafwriter::BuilderOptions OptionsFromDescription(const nlohmann::json& description,
                                                 DescriptionStatus& status);

/// Adds the media and compositions of a JSON edit description to `builder`. The format is
/// documented in tools/mkaaf/README.md. Errors name the place in the description.
DescriptionStatus BuildFromDescription(const nlohmann::json& description,
                                       aafwriter::AafBuilder& builder);

}  // namespace tessel::mkaaf
