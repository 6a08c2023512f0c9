#pragma once

#include <cstdint>
#include <string>

#include "aaf/AAF.h"

/// Source clips strongly reachable from `object` (itself included): every strong reference is
/// followed except a Selector's alternates, which are not part of the cut. A source clip's own
/// reference to its media is a reference by mob id and leads nowhere here. Counted on the stored
/// objects, apart from the track walk, so that what the walk leaves out can be told.
uint64_t CountSourceClips(const tessel::aaf::InterfaceBase& object);

/// The class name of `object` as a user reads it ("Selector", "NestedScope", ...); "unknown"
/// without an object.
std::string ComponentKindName(const tessel::aaf::InterfaceBase* object);
