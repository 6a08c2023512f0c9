#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "aafwriter/object.h"

namespace tessel::aafwriter {

/// An operation definition (the effect an OperationGroup applies).
struct OperationDefinition {
    aafUID_t id{};
    std::string name{};
    aafUID_t dataDefinition{};
    std::int32_t numberInputs = 1;
    bool isTimeWarp = false;
    std::vector<aafUID_t> parameters{};  ///< parameter definitions it declares
};

/// A parameter definition and the type its values have.
struct ParameterDefinition {
    aafUID_t id{};
    std::string name{};
    aafUID_t type{};
};

/// Definitions the builder knows by AUID; others can be added for a file.
struct DefinitionCatalogue {
    std::vector<OperationDefinition> operations{};
    std::vector<ParameterDefinition> parameters{};
};

/// Builds the Dictionary for the objects under `header`: a DataDefinition, OperationDefinition,
/// ParameterDefinition or InterpolationDefinition for every one they refer to (directly, or
/// through the operation definitions), and nothing else. Unknown AUIDs get generic definitions.
std::unique_ptr<Object> BuildDictionary(const Object& header, const DefinitionCatalogue& extra,
                                        ByteOrder order);

/// The name a data definition is stored with ("DataDef_Picture", ...), or "" when unknown.
std::string DataDefinitionName(const aafUID_t& id);

}  // namespace tessel::aafwriter
