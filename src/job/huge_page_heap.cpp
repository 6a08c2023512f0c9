#include "job/huge_page_heap.h"

#include <unistd.h>

#include <cstdlib>
#include <string>

// Both front ends call this first thing. A long timeline's model is some hundred megabytes of
// small objects. With 4 KiB pages, the kernel's work to hand them out on first touch is about a
// fifth of a conversion's time; with 2 MiB pages it nearly vanishes. glibc uses huge pages for
// its heap only when told so before the program starts (the GLIBC_TUNABLES variable), hence the
// restart. A tunable the user set is left as it is, and so is any other C library.
void RestartWithHugePageHeap(char** argv) {
#if defined(__linux__) && defined(__GLIBC__)
    constexpr const char* kTunable = "glibc.malloc.hugetlb";
    const char* current = std::getenv("GLIBC_TUNABLES");
    std::string tunables = current != nullptr ? current : "";
    if (argv == nullptr || argv[0] == nullptr || tunables.find(kTunable) != std::string::npos) {
        return;
    }
    tunables += tunables.empty() ? "" : ":";
    tunables += kTunable;
    tunables += "=1";
    if (::setenv("GLIBC_TUNABLES", tunables.c_str(), 1) != 0) {
        return;
    }
    ::execv("/proc/self/exe", argv);
    // Still here: the restart failed, and this process converts with ordinary pages.
#else
    (void)argv;
#endif
}
