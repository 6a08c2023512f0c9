#include "model/clip_registry.h"

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/clip_item.h"

namespace {

// Registries are process-wide in the conversion; these tests use their own.
class ClipRegistryTest : public ::testing::Test {
  protected:
    FCClipItemBase* Audio(const std::string& path, aafPosition_t recordStart = 0,
                          aafLength_t length = 10) {
        return Add(std::make_unique<FCAudioClipItem>(nullptr, nullptr, recordStart), path, length);
    }
    FCClipItemBase* Video(const std::string& path, aafPosition_t recordStart = 0,
                          aafLength_t length = 10) {
        return Add(std::make_unique<FCVideoClipItem>(nullptr, nullptr, recordStart), path, length);
    }

    ClipRegistry registry;
    std::vector<std::unique_ptr<FCClipItemBase>> items;

  private:
    FCClipItemBase* Add(std::unique_ptr<FCClipItemBase> item, const std::string& path,
                        aafLength_t length) {
        item->mediaPath = path;
        item->length = length;
        RegisterClipItem(registry, item.get());
        items.push_back(std::move(item));
        return items.back().get();
    }
};

TEST_F(ClipRegistryTest, KeysAreExactPathsAndListsKeepRegistrationOrder) {
    FCClipItemBase* first = Audio("C:\\a.wav");
    FCClipItemBase* upper = Audio("C:\\A.wav");
    FCClipItemBase* second = Audio("C:\\a.wav");
    FCClipItemBase* unnamed = Audio("");

    EXPECT_EQ(*FindClipsByPath(registry, "C:\\a.wav"), (ClipList{first, second}));
    EXPECT_EQ(*FindClipsByPath(registry, "C:\\A.wav"), (ClipList{upper}));
    EXPECT_EQ(*FindClipsByPath(registry, ""), (ClipList{unnamed}));
    EXPECT_EQ(FindClipsByPath(registry, "c:\\a.wav"), nullptr);

    ClearClipRegistry(registry);
    EXPECT_EQ(FindClipsByPath(registry, "C:\\a.wav"), nullptr);
    EXPECT_TRUE(registry.Empty());
    EXPECT_EQ(first->mediaPath, "C:\\a.wav");
}

TEST_F(ClipRegistryTest, FindAtSelectsByPlaceAsRegistered) {
    FCClipItemBase* a = Audio("x.wav", 0, 100);
    Audio("x.wav", 0, 99);
    FCClipItemBase* b = Audio("x.wav", 0, 100);
    Audio("x.wav", 1, 100);

    const auto found = registry.FindAt("x.wav", 0, 100);
    EXPECT_EQ(ClipList(found.begin(), found.end()), (ClipList{a, b}));
    EXPECT_TRUE(registry.FindAt("x.wav", 5, 100).empty());
    EXPECT_TRUE(registry.FindAt("y.wav", 0, 100).empty());

    // Items registered after a look-up are found too, after those before them.
    FCClipItemBase* later = Audio("x.wav", 0, 100);
    FCClipItemBase* elsewhere = Audio("y.wav", 5, 100);
    const auto more = registry.FindAt("x.wav", 0, 100);
    EXPECT_EQ(ClipList(more.begin(), more.end()), (ClipList{a, b, later}));
    const auto other = registry.FindAt("y.wav", 5, 100);
    EXPECT_EQ(ClipList(other.begin(), other.end()), (ClipList{elsewhere}));

    // A cleared registry forgets the places too, and indexes new items afresh.
    ClearClipRegistry(registry);
    EXPECT_TRUE(registry.FindAt("x.wav", 0, 100).empty());
    FCClipItemBase* c = Audio("x.wav", 0, 100);
    const auto again = registry.FindAt("x.wav", 0, 100);
    EXPECT_EQ(ClipList(again.begin(), again.end()), (ClipList{c}));
}

TEST_F(ClipRegistryTest, RenamingReplacesOnlyAFinalAviInAnyCase) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"C:\\v.avi", "C:\\v.mov"},
        {"C:\\V.AVI", "C:\\V.mov"},
        {"C:\\v.avi.avi", "C:\\v.avi.mov"},
        {"C:\\dir.avi\\v.Avi", "C:\\dir.avi\\v.mov"},
        {".avi", ".mov"},
        {"C:\\v.avi ", "C:\\v.avi "},
        {"C:\\v.avix", "C:\\v.avix"},
        {"C:\\avi", "C:\\avi"},
        {"C:\\v.mov", "C:\\v.mov"},
        {"", ""},
    };
    for (const auto& [path, renamed] : cases) {
        Video(path);
    }
    RenameAviToMov(registry);

    for (size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(items[i]->mediaPath, cases[i].second) << cases[i].first;
    }
    // The keys stay as the AAF file gave them.
    EXPECT_NE(FindClipsByPath(registry, "C:\\v.avi"), nullptr);
    EXPECT_EQ(FindClipsByPath(registry, "C:\\V.mov"), nullptr);
}

TEST_F(ClipRegistryTest, RenamingASharedPathLeavesItsOtherHoldersAlone) {
    // Items of one source hold one shared text, as the source cache does; another source of the
    // same file holds a copy of its own. Every item is renamed, nothing else is.
    const SharedText fromSource("D:\\clip.avi");
    FCClipItemBase* first = Video("");
    FCClipItemBase* own = Video("D:\\clip.avi");
    FCClipItemBase* second = Video("");
    ClearClipRegistry(registry);
    first->mediaPath = fromSource;
    second->mediaPath = fromSource;
    for (FCClipItemBase* item : {first, own, second}) {
        RegisterClipItem(registry, item);
    }
    RenameAviToMov(registry);

    for (FCClipItemBase* item : {first, own, second}) {
        EXPECT_EQ(item->mediaPath, "D:\\clip.mov");
    }
    EXPECT_EQ(fromSource, "D:\\clip.avi");
}

}  // namespace
