#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace tessel::testing {

/// One storage or stream as libgsf sees it.
struct GsfNode {
    bool isStorage = false;
    std::array<std::uint8_t, 16> clsid{};
    std::vector<std::uint8_t> data;  // streams only
};

/// Everything libgsf reports about a compound file: every node by its path ("" is the root,
/// children are "a/b/c"), and every GLib message it logged while reading.
struct GsfListing {
    bool opened = false;
    std::string error;
    std::map<std::string, GsfNode> nodes;
    std::vector<std::string> messages;
};

/// Opens `path` with libgsf and reads the whole tree, every class id and every stream.
GsfListing ListWithGsf(const std::string& path);

/// False where libgsf is not built (the Windows cross-build); the checks against it skip there.
bool GsfAvailable();

}  // namespace tessel::testing

#define TESSEL_REQUIRE_GSF()                           \
    if (!::tessel::testing::GsfAvailable()) {          \
        GTEST_SKIP() << "libgsf is not in this build"; \
    }
