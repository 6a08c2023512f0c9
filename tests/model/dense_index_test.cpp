#include "model/dense_index.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Every key in one chain: probing alone has to tell them apart.
struct SameHash {
    size_t operator()(const std::string& /*key*/) const { return 7; }
};

struct StdHash {
    size_t operator()(int key) const { return std::hash<int>{}(key); }
};

TEST(DenseIndex, NumbersKeysInOrderThroughGrowthAndCollisions) {
    DenseIndex<std::string, SameHash> colliding;
    DenseIndex<int, StdHash> spread;
    EXPECT_EQ(colliding.Find("a"), colliding.kAbsent);
    for (int i = 0; i < 500; ++i) {
        ASSERT_EQ(colliding.Insert(std::to_string(i)), static_cast<uint32_t>(i));
    }
    for (int i = 0; i < 100000; ++i) {
        ASSERT_EQ(spread.Insert(i * 4096), static_cast<uint32_t>(i));
    }
    // Again: the same numbers, nothing added.
    EXPECT_EQ(colliding.Insert("123"), 123U);
    EXPECT_EQ(spread.Insert(99999 * 4096), 99999U);
    EXPECT_EQ(colliding.Size(), 500U);
    EXPECT_EQ(spread.Size(), 100000U);
    for (int i = 0; i < 500; ++i) {
        ASSERT_EQ(colliding.Find(std::to_string(i)), static_cast<uint32_t>(i));
    }
    EXPECT_EQ(colliding.Find("500"), colliding.kAbsent);
    EXPECT_EQ(spread.Find(4095), spread.kAbsent);
    EXPECT_EQ(spread.Keys()[42], 42 * 4096);

    spread.Clear();
    EXPECT_EQ(spread.Find(0), spread.kAbsent);
    EXPECT_EQ(spread.Insert(5), 0U);
}

}  // namespace
