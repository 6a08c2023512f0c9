#pragma once

#include <cstddef>
#include <cstdint>
#include <memory_resource>
#include <vector>

namespace tessel::platform {

/// Memory for many small objects that all live as long as the arena (a long edit's clip items,
/// the objects read from its file). Each allocation takes the next bytes of the current block;
/// nothing is given back before the arena goes. Blocks come from HugePageResource and double in
/// size up to a limit.
///
/// Unlike std::pmr::monotonic_buffer_resource, which keeps its list of blocks at the end of each
/// block, it touches a block only where objects go: fresh memory is slow to touch the first
/// time, and the unused end of the last block costs address space, not memory.
/// Not thread-safe.
class Arena final : public std::pmr::memory_resource {
  public:
    explicit Arena(std::size_t firstBlockBytes);
    Arena(const Arena&) = delete;
    Arena& operator=(const Arena&) = delete;
    ~Arena() override;

  private:
    struct Block {
        void* start;
        std::size_t size;
    };

    void* do_allocate(std::size_t bytes, std::size_t alignment) override;
    void do_deallocate(void* /*block*/, std::size_t /*bytes*/, std::size_t /*alignment*/) override {
    }
    bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override {
        return this == &other;
    }

    void StartBlock(std::size_t bytes);

    std::vector<Block> blocks_;
    std::uintptr_t cursor_ = 0;
    std::uintptr_t end_ = 0;
    std::size_t nextBlockBytes_;
};

}  // namespace tessel::platform
