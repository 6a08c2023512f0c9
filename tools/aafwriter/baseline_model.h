#pragma once

#include <cstdint>
#include <span>

#include "aaf/aaf_types.h"

namespace tessel::aafwriter::model {

/// One property of a class as a PropertyDefinition describes it.
struct PropertyDef {
    std::uint16_t pid;
    const char* name;
    aafUID_t id;
    aafUID_t type;
    bool optional;
    bool unique;
};

struct ClassDef {
    const char* name;
    aafUID_t id;
    aafUID_t parent;  ///< the class itself for the root classes
    bool concrete;
    std::span<const PropertyDef> properties;
};

/// The concrete TypeDefinition classes.
enum class TypeKind {
    kInteger,
    kCharacter,
    kStrongReference,
    kWeakReference,
    kEnumeration,
    kFixedArray,
    kVariableArray,
    kSet,
    kString,
    kStream,
    kRecord,
    kRename,
    kExtendibleEnumeration,
    kIndirect,
    kOpaque,
};

/// A type definition; which fields matter depends on `kind`.
struct TypeDef {
    TypeKind kind;
    const char* name;
    aafUID_t id;
    aafUID_t ref;          ///< referenced class (references) or element/renamed/member type
    std::uint32_t number;  ///< integer size in bytes, or fixed-array element count
    bool isSigned;
    std::span<const aafUID_t> ids;  ///< weak-reference target set, record members, ext. enum values
    std::span<const std::int64_t> values;  ///< enumeration values
    std::span<const char* const> names;    ///< enumeration, record member or ext. enum names
};

std::span<const ClassDef> BaselineClasses();
std::span<const TypeDef> BaselineTypes();

const ClassDef* FindClass(const aafUID_t& id);
const TypeDef* FindType(const aafUID_t& id);
/// The baseline property with this pid (pids below 0x8000 are the same in every file).
const PropertyDef* FindProperty(std::uint16_t pid);
/// The class AUID of the TypeDefinition subclass for `kind`.
aafUID_t TypeDefinitionClass(TypeKind kind);

}  // namespace tessel::aafwriter::model
