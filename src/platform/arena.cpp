#include "platform/arena.h"

#include <algorithm>
#include <cstdint>
#include <new>

#include "platform/memory.h"

namespace tessel::platform {

namespace {

// Blocks stop doubling here: past it, a block's unused end would be a lot of address space.
constexpr std::size_t kLargestBlock = std::size_t{64} << 20;

}  // namespace

Arena::Arena(std::size_t firstBlockBytes)
    : nextBlockBytes_(std::max<std::size_t>(firstBlockBytes, 1024)) {}

Arena::~Arena() {
    for (const Block& block : blocks_) {
        HugePageResource()->deallocate(block.start, block.size, alignof(std::max_align_t));
    }
}

void* Arena::do_allocate(std::size_t bytes, std::size_t alignment) {
    const std::uintptr_t mask = std::uintptr_t{alignment} - 1;
    std::uintptr_t start = (cursor_ + mask) & ~mask;
    if (blocks_.empty() || start < cursor_ || start > end_ || end_ - start < bytes) {
        if (bytes > SIZE_MAX / 2) {
            throw std::bad_alloc();
        }
        StartBlock(bytes + alignment);
        start = (cursor_ + mask) & ~mask;
    }
    cursor_ = start + bytes;
    return reinterpret_cast<void*>(start);
}

void Arena::StartBlock(std::size_t bytes) {
    const std::size_t size = std::max(bytes, nextBlockBytes_);
    blocks_.reserve(blocks_.size() + 1);  // so that the block is never lost
    void* start = HugePageResource()->allocate(size, alignof(std::max_align_t));
    blocks_.push_back({start, size});
    nextBlockBytes_ = std::min(nextBlockBytes_ * 2, kLargestBlock);
    cursor_ = reinterpret_cast<std::uintptr_t>(start);
    end_ = cursor_ + size;
}

}  // namespace tessel::platform
