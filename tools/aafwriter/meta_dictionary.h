#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "aafwriter/object.h"

namespace tessel::aafwriter {

/// A property of an extension class (its pid is one the file assigns, usually 0x8000 or above).
struct ExtensionProperty {
    std::string name{};
    aafUID_t id{};
    aafUID_t type{};  ///< a baseline type AUID
    std::uint16_t pid = 0;
    bool optional = true;
};

/// A class that is not part of the baseline model; objects of it are resolved by readers through
/// its ClassDefinition (ParentClass chain) in the MetaDictionary.
struct ExtensionClass {
    std::string name{};
    aafUID_t id{};
    aafUID_t parent{};  ///< a baseline class or another extension class
    bool concrete = true;
    std::vector<ExtensionProperty> properties{};
};

/// Builds the MetaDictionary the way SDK writers do: a ClassDefinition for every class of an
/// object under `header` (and the meta classes), their ancestors and every class their
/// properties refer to; a TypeDefinition for every type those properties use, recursively.
std::unique_ptr<Object> BuildMetaDictionary(const Object& header,
                                            std::span<const ExtensionClass> extensions,
                                            ByteOrder order);

/// The AUID stored in `bytes` (16 bytes in `order`).
aafUID_t ReadAuid(std::span<const std::uint8_t> bytes, ByteOrder order);

}  // namespace tessel::aafwriter
