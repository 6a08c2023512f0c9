#include "platform/memory.h"

#include <new>

namespace tessel::platform {

namespace {

// Below this a block is not worth a huge page of its own.
constexpr std::size_t kLargeBlock = std::size_t{1} << 20;

class HugePageBlocks final : public std::pmr::memory_resource {
  private:
    void* do_allocate(std::size_t bytes, std::size_t alignment) override {
        if (bytes < kLargeBlock) {
            return ::operator new (bytes, std::align_val_t{alignment});
        }
        // Whole huge pages, so that the block's last one is not shared with other memory.
        const std::size_t rounded = (bytes + kHugePageSize - 1) / kHugePageSize * kHugePageSize;
        void* block = ::operator new (rounded, std::align_val_t{kHugePageSize});
        AdviseHugePages(block, rounded);
        return block;
    }

    void do_deallocate(void* block, std::size_t bytes, std::size_t alignment) override {
        if (bytes < kLargeBlock) {
            ::operator delete (block, std::align_val_t{alignment});
        } else {
            ::operator delete (block, std::align_val_t{kHugePageSize});
        }
    }

    bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override {
        return this == &other;
    }
};

}  // namespace

std::pmr::memory_resource* HugePageResource() {
    static HugePageBlocks blocks;
    return &blocks;
}

}  // namespace tessel::platform
