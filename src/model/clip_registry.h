#pragma once

#include <cstdint>
#include <deque>
#include <span>
#include <string>
#include <vector>

#include "model/dense_index.h"

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
    /// The items registered under `path` that start at `recordStart` and last `length`, in
    /// registration order; empty when there are none. Valid until the next registration. (Items
    /// keep their place once made; the index of places is built on the first call, so that a
    /// registry never asked, as the video one, never has one.)
    std::span<FCClipItemBase* const> FindAt(const std::string& path, int64_t recordStart,
                                            int64_t length) const;
    void Clear();
    bool Empty() const { return paths_.Size() == 0; }

    /// The keys, in the order they were first registered.
    const std::vector<std::string>& Paths() const { return paths_.Keys(); }
    /// The list of `Paths()[number]`.
    const ClipList& ListAt(size_t number) const { return lists_[number]; }

  private:
    struct PathHash {
        size_t operator()(const std::string& path) const;
    };
    struct Place {
        uint32_t path;  // the key's number
        int64_t recordStart;
        int64_t length;
        bool operator==(const Place&) const = default;
    };
    struct PlaceHash {
        size_t operator()(const Place& place) const;
    };
    // What lies at one place: nearly always a single item; the others go to `crowded_`.
    struct PlaceItems {
        FCClipItemBase* first = nullptr;
        uint32_t crowded = UINT32_MAX;  // in `crowded_`, which then holds all of them
    };

    DenseIndex<std::string, PathHash> paths_;
    // By key number; a deque, so that lists keep their address as keys are added.
    std::deque<ClipList> lists_;
    /// Adds `clip`, registered under key number `path`, to the index of places.
    void IndexPlace(uint32_t path, FCClipItemBase* clip) const;

    size_t itemCount_ = 0;
    // The same items again by place, so that linking stays linear however many uses one media
    // file has. Made on the first FindAt, then kept up to date.
    mutable bool placesIndexed_ = false;
    mutable DenseIndex<Place, PlaceHash> places_;
    mutable std::vector<PlaceItems> atPlace_;  // by place number
    mutable std::vector<ClipList> crowded_;
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
