#pragma once

// Helpers shared by the files that implement the AAF interfaces.

#include <memory>

#include "aaf/aaf_file.h"
#include "aaf/aaf_interfaces.h"
#include "aaf/class_table.h"
#include "aaf/object_node.h"

namespace tessel::aaf {

/// Hands `node` out as interface I when the load succeeded; an object of the wrong class where
/// the model wants an I counts as a damaged file.
template <class I>
AAFRESULT ToView(AAFRESULT loadResult, NodePtr node, std::shared_ptr<I>& out) {
    if (AAFRESULT_FAILED(loadResult)) {
        return loadResult;
    }
    if (!node || !ClassIsA(node->Class(), I::kClass)) {
        return AAFRESULT_CORRUPT_OBJECT;
    }
    out = std::make_shared<I>(std::move(node));
    return AAFRESULT_SUCCESS;
}

}  // namespace tessel::aaf
