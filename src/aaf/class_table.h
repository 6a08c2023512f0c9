#pragma once

#include <string_view>

#include "aaf/aaf_types.h"
#include "aaf/class_id.h"

namespace tessel::aaf {

/// What the reader knows of a baseline class.
struct ClassInfo {
    std::string_view name;
    aafUID_t auid;
    ClassId parent;  ///< ClassId::kNone for a root class
    bool concrete;
};

const ClassInfo& GetClassInfo(ClassId cls);
/// The baseline class with this AUID, or ClassId::kNone.
ClassId FindBaselineClass(const aafUID_t& auid);
/// True if `cls` is `ancestor` or descends from it.
bool ClassIsA(ClassId cls, ClassId ancestor);

}  // namespace tessel::aaf
