#pragma once

#include <cstdint>
#include <memory>
#include <memory_resource>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

class FCClipItemBase;

/// Clip items of one media path in registration order; not owned, never empty, never null.
using ClipList = std::vector<FCClipItemBase*>;

/// Clip items of one media kind by media path. Keys are the items' paths at registration,
/// compared exactly.
class ClipRegistry {
  public:
    /// Appends `clip` under its current `mediaPath`.
    void Register(FCClipItemBase* clip);
    /// The items registered under `path`, or null.
    const ClipList* Find(const std::string& path) const;
    /// The items registered under `path` that start at `recordStart` and last `length` (as they
    /// did when registered), in registration order; empty when there are none.
    std::span<FCClipItemBase* const> FindAt(const std::string& path, int64_t recordStart,
                                            int64_t length) const;
    void Clear();
    bool Empty() const { return byPath_.empty(); }

    /// Every key with its list.
    const std::unordered_map<std::string, ClipList>& ByPath() const { return byPath_; }

  private:
    struct Place {
        const ClipList* list;
        int64_t recordStart;
        int64_t length;
        bool operator==(const Place&) const = default;
    };
    struct PlaceHash {
        size_t operator()(const Place& place) const;
    };

    // The same items again by place, so that linking stays linear however many uses one media
    // file has; nearly every place holds one or two items. Lists of `byPath_` keep their
    // address while the map grows. The index lives in an arena of its own, freed at once.
    struct PlaceIndex {
        PlaceIndex();
        std::pmr::monotonic_buffer_resource arena;
        std::pmr::unordered_map<Place, std::pmr::vector<FCClipItemBase*>, PlaceHash> lists;
    };

    std::unordered_map<std::string, ClipList> byPath_;
    std::unique_ptr<PlaceIndex> byPlace_;
};

/// Video clip items by media path, filled while the tracks are built.
extern ClipRegistry g_videoClipsByPath;
/// Audio clip items by media path, filled while the tracks are built.
extern ClipRegistry g_audioClipsByPath;

/// Appends `clip` to the list of its current `mediaPath`.
void RegisterClipItem(ClipRegistry& registry, FCClipItemBase* clip);

/// The list registered under `path`, or null.
const ClipList* FindClipsByPath(const ClipRegistry& registry, const std::string& path);

/// Replaces a final ".avi" (any letter case) of every registered item's path with ".mov".
/// Keys stay as they were.
void RenameAviToMov(ClipRegistry& registry);

/// Forgets every key and list; the clip items are not touched.
void ClearClipRegistry(ClipRegistry& registry);
