#include "model/source_cache.h"

#include <gtest/gtest.h>

#include "job/conversion_job.h"

namespace {

aafMobID_t Mob(aafUInt32 material) {
    aafMobID_t id{};
    id.material.Data1 = material;
    return id;
}

TEST(SourceCache, KeepsOneChainPerMobAndSlot) {
    SourceCache cache;
    EXPECT_EQ(cache.Find(Mob(1), 1), nullptr);
    ResolvedSource first;
    first.mobName = "Interview";
    first.mediaLength = 1500;
    cache.Add(Mob(1), 1, first);
    ResolvedSource stopped;  // a chain that found nothing
    cache.Add(Mob(1), 2, stopped);

    ASSERT_NE(cache.Find(Mob(1), 1), nullptr);
    EXPECT_EQ(cache.Find(Mob(1), 1)->mobName, "Interview");
    EXPECT_EQ(cache.Find(Mob(1), 1)->mediaLength, 1500);
    ASSERT_NE(cache.Find(Mob(1), 2), nullptr);
    EXPECT_FALSE(cache.Find(Mob(1), 2)->mediaLength.has_value());
    EXPECT_EQ(cache.Find(Mob(2), 1), nullptr);

    cache.Clear();
    EXPECT_EQ(cache.Find(Mob(1), 1), nullptr);
}

TEST(SourceCache, ANewHeaderOrAClosedFileForgetsTheChains) {
    g_sourceCache.Add(Mob(7), 1, ResolvedSource{});
    SetAafHeader(nullptr);
    EXPECT_EQ(g_sourceCache.Find(Mob(7), 1), nullptr);

    g_sourceCache.Add(Mob(7), 1, ResolvedSource{});
    CloseAafFile();
    EXPECT_EQ(g_sourceCache.Find(Mob(7), 1), nullptr);
}

}  // namespace
