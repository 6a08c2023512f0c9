#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tessel::testing {

/// Checks the directory of an in-memory compound file the way a strict reader would: every sibling
/// tree in MS-CFB name order, no red node with a red child, the same number of black nodes on every
/// path, and no tree deeper than twice the logarithm of its size. Returns the faults found.
std::vector<std::string> CheckSiblingTrees(const std::vector<std::uint8_t>& file);

}  // namespace tessel::testing
