// POSIX memory hints: madvise where the system has the advice, nothing where it has not; the
// huge-page heap where the C library is glibc.
#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <mutex>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "platform/memory.h"

namespace tessel::platform {

void AdviseHugePages(void* address, std::size_t size) {
#ifdef MADV_HUGEPAGE
    // The range is whole pages (a block of our own, or a file mapping); a refusal (no THP)
    // changes nothing.
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

#if defined(__GLIBC__) && defined(MADV_HUGEPAGE)
namespace {

// Where the process's address space or the system's memory commitments are limited, reserved
// but unused heap would count against the conversion's own needs (a mapping of the input could
// then fail where it would fit otherwise).
bool MemoryIsRationed() {
    for (const auto resource : {RLIMIT_AS, RLIMIT_DATA}) {
        rlimit limit{};
        if (getrlimit(resource, &limit) != 0 || limit.rlim_cur != RLIM_INFINITY) {
            return true;
        }
    }
    std::ifstream policy("/proc/sys/vm/overcommit_memory");
    int mode = 0;
    return policy >> mode && mode == 2;  // 2: every private page is committed when mapped
}

}  // namespace
#endif

void ReserveHugePageHeap(std::size_t size) {
#if defined(__GLIBC__) && defined(MADV_HUGEPAGE)
    // mallopt takes ints.
    if (size < 2 * kHugePageSize || size > std::size_t{INT_MAX} / 2 || MemoryIsRationed()) {
        return;
    }
    static std::once_flag once;
    std::call_once(once, [size] {
        // One heap for every thread (a conversion may run on a worker); blocks up to the
        // largest mmap threshold come from it too, so a freed table's pages serve the next.
        mallopt(M_ARENA_MAX, 1);
        mallopt(M_MMAP_THRESHOLD, 32 << 20);
        // Free memory at the top is kept up to the reserve's size (for the next conversion),
        // and all given back beyond it.
        mallopt(M_TRIM_THRESHOLD, static_cast<int>(size + 2 * kHugePageSize));
        const auto before = reinterpret_cast<std::uintptr_t>(sbrk(0));
        mallopt(M_TOP_PAD, static_cast<int>(size));
        // More than the fresh heap's top holds, so the heap grows by it and the pad; volatile,
        // or the compiler drops the pair.
        void* volatile probe = std::malloc(std::size_t{1} << 20);
        std::free(probe);
        mallopt(M_TOP_PAD, 128 << 10);
        const auto after = reinterpret_cast<std::uintptr_t>(sbrk(0));
        // Only a heap that grew in place by the whole reserve is ours to advise.
        if (before == static_cast<std::uintptr_t>(-1) || after < before + size) {
            return;
        }
        const std::uintptr_t first = (before + kHugePageSize - 1) / kHugePageSize * kHugePageSize;
        const std::uintptr_t end = after / kHugePageSize * kHugePageSize;
        AdviseHugePages(reinterpret_cast<void*>(first), end - first);
    });
#else
    static_cast<void>(size);
#endif
}

}  // namespace tessel::platform
