// Windows memory hints: large pages need a privilege ordinary users lack, and mapped views
// leave the working set as the system sees fit; the hints do nothing.
#include "platform/memory.h"

namespace tessel::platform {

void AdviseHugePages(void* /*address*/, std::size_t /*size*/) {}

void ReleaseMappedPages(const void* /*address*/, std::size_t /*size*/) {}

void ReserveHugePageHeap(std::size_t /*size*/) {}

}  // namespace tessel::platform
