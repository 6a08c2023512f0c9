#include "platform/arena.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory_resource>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct Piece {
    unsigned char* bytes;
    std::size_t size;
    unsigned char mark;
};

// Allocations of every size and alignment the model asks for, across many blocks, each filled
// with its own mark: an overlap or a misaligned address shows.
TEST(ArenaTest, AllocationsAreAlignedAndKeepTheirBytes) {
    tessel::platform::Arena arena(4096);
    std::mt19937 random(7);
    std::vector<Piece> pieces;
    const std::size_t alignments[] = {1, 2, 4, 8, 16, 64, 4096};
    for (int i = 0; i < 60'000; ++i) {
        const std::size_t alignment = alignments[random() % std::size(alignments)];
        // Now and then one larger than any block so far.
        const std::size_t size = i % 20'000 == 19'999 ? (std::size_t{3} << 20) : 1 + random() % 700;
        auto* bytes = static_cast<unsigned char*>(arena.allocate(size, alignment));
        ASSERT_EQ(reinterpret_cast<std::uintptr_t>(bytes) % alignment, 0u) << i;
        const auto mark = static_cast<unsigned char>(i % 251);
        std::memset(bytes, mark, size);
        pieces.push_back({bytes, size, mark});
    }
    for (const Piece& piece : pieces) {
        for (std::size_t k = 0; k < piece.size; k += 97) {
            ASSERT_EQ(piece.bytes[k], piece.mark);
        }
        ASSERT_EQ(piece.bytes[piece.size - 1], piece.mark);
    }
}

TEST(ArenaTest, ServesContainersThroughPolymorphicAllocators) {
    tessel::platform::Arena arena(1024);
    std::pmr::vector<std::pmr::string> texts(&arena);
    for (int i = 0; i < 5'000; ++i) {
        texts.emplace_back(std::string(40, static_cast<char>('a' + i % 26)));
    }
    EXPECT_EQ(std::string_view(texts[4'999]), std::string(40, static_cast<char>('a' + 4'999 % 26)));
    EXPECT_EQ(texts.get_allocator().resource(), &arena);
    EXPECT_TRUE(arena.is_equal(arena));
}

}  // namespace
