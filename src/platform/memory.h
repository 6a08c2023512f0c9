#pragma once

#include <cstddef>
#include <memory_resource>

// Memory for the conversion's big, long-lived tables: blocks that ask the system for huge pages
// (fewer page faults and TLB misses when a long edit fills hundreds of megabytes).
namespace tessel::platform {

/// Asks the system to back the pages of [address, address + size) with huge pages where it
/// can (Linux transparent huge pages; for a file mapping, huge folios when the file is read in).
/// A hint only: refused or unsupported, nothing changes.
void AdviseHugePages(void* address, std::size_t size);

/// Tells the system that the pages of [address, address + size), part of a read-only file
/// mapping, are not needed for now: they leave the process's resident memory and are read
/// again from the file when touched. Only whole pages inside the range are given back.
void ReleaseMappedPages(const void* address, std::size_t size);

/// Grows the C library's heap once by `size` bytes of address space and asks for huge pages
/// there, so that the many small objects of a conversion (and blocks of up to 32 MiB) fill a few
/// huge pages instead of thousands of small ones, each cleared by the system on first touch.
/// Pages are used only when touched. Threads started afterwards make no heaps of their own.
/// Call it early, before the threads that do the work; later calls do nothing. A hint only:
/// where the heap is not glibc's or cannot grow in place, or where address space or memory
/// commitments are limited (ulimit, strict overcommit), nothing changes.
void ReserveHugePageHeap(std::size_t size);

/// The size of huge pages this resource aligns blocks to.
inline constexpr std::size_t kHugePageSize = std::size_t{2} << 20;

/// An upstream for arenas (platform::Arena): blocks of a megabyte or more
/// are aligned to kHugePageSize and advised for huge pages; smaller ones come from the heap.
/// Thread-safe; one instance serves every arena.
std::pmr::memory_resource* HugePageResource();

}  // namespace tessel::platform
