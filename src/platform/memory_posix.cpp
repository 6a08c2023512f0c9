// POSIX memory hints: madvise where the system has the advice, nothing where it has not.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

#include "platform/memory.h"

namespace tessel::platform {

void AdviseHugePages(void* address, std::size_t size) {
#ifdef MADV_HUGEPAGE
    // The range is whole pages of a block of our own; a refusal (no THP) changes nothing.
    static_cast<void>(madvise(address, size, MADV_HUGEPAGE));
#else
    static_cast<void>(address);
    static_cast<void>(size);
#endif
}

void ReleaseMappedPages(const void* address, std::size_t size) {
    const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto begin = reinterpret_cast<std::uintptr_t>(address);
    const std::uintptr_t first = (begin + page - 1) / page * page;
    const std::uintptr_t end = (begin + size) / page * page;
    if (first < end) {
        // Pages of a private read-only mapping come back from the file when touched again.
        static_cast<void>(madvise(reinterpret_cast<void*>(first), end - first, MADV_DONTNEED));
    }
}

}  // namespace tessel::platform
