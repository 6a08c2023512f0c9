// Builds without libgsf (the Windows cross-build): nothing to compare with.
#include "gsf_listing.h"

namespace tessel::testing {

GsfListing ListWithGsf(const std::string&) {
    GsfListing listing;
    listing.error = "libgsf is not in this build";
    return listing;
}

bool GsfAvailable() {
    return false;
}

}  // namespace tessel::testing
