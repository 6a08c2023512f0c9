#pragma once

// Definitions reached by AUID: the data definition of a component, built-in definitions the
// SDK supplies when a file lacks them, and the type of an indirect value.

#include <memory>
#include <string_view>

#include "aaf/aaf_interfaces.h"
#include "aaf/object_node.h"

namespace tessel::aaf {

/// The DataDefinition a component's weak reference names: the file's own, or one of the SDK's
/// built-in ones; AAFRESULT_OBJECT_NOT_FOUND when it is neither.
AAFRESULT ComponentDataDef(const ObjectNode& component, std::shared_ptr<IAAFDataDef>& out);

/// The name of a built-in data definition or type, or empty.
std::string_view BuiltInDefinitionName(const aafUID_t& id);

}  // namespace tessel::aaf
