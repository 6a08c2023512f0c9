#include "model/clip_registry.h"

#include <cstdint>

#include "model/ascii_case.h"
#include "model/clip_item.h"
#include "platform/memory.h"

ClipRegistry g_videoClipsByPath;
ClipRegistry g_audioClipsByPath;

namespace {

// Room for the index of a few thousand clips before the arena grows.
constexpr size_t kInitialPlaceBytes = size_t{64} << 10;

}  // namespace

ClipRegistry::PlaceIndex::PlaceIndex()
    : arena(kInitialPlaceBytes, tessel::platform::HugePageResource()), lists(&arena) {}

size_t ClipRegistry::PlaceHash::operator()(const Place& place) const {
    // Places of one list differ in the start, mostly by a few hundred edit units: mixed, so
    // that neighbours do not crowd the same buckets.
    uint64_t hash = reinterpret_cast<uintptr_t>(place.list);
    for (const int64_t part : {place.recordStart, place.length}) {
        hash = (hash ^ static_cast<uint64_t>(part)) * 0x9E3779B97F4A7C15ULL;
        hash ^= hash >> 29;
    }
    return static_cast<size_t>(hash);
}

void ClipRegistry::Register(FCClipItemBase* clip) {
    if (clip == nullptr) {
        return;
    }
    ClipList& list = byPath_[clip->mediaPath];
    list.push_back(clip);
    if (!byPlace_) {
        byPlace_ = std::make_unique<PlaceIndex>();
    }
    byPlace_->lists[Place{&list, clip->recordStart, clip->length}].push_back(clip);
}

const ClipList* ClipRegistry::Find(const std::string& path) const {
    auto found = byPath_.find(path);
    return found == byPath_.end() ? nullptr : &found->second;
}

std::span<FCClipItemBase* const> ClipRegistry::FindAt(const std::string& path, int64_t recordStart,
                                                      int64_t length) const {
    const ClipList* list = Find(path);
    if (list == nullptr || !byPlace_) {
        return {};
    }
    auto found = byPlace_->lists.find(Place{list, recordStart, length});
    if (found == byPlace_->lists.end()) {
        return {};
    }
    return found->second;
}

void ClipRegistry::Clear() {
    byPlace_.reset();
    byPath_.clear();
}

void RegisterClipItem(ClipRegistry& registry, FCClipItemBase* clip) {
    registry.Register(clip);
}

const ClipList* FindClipsByPath(const ClipRegistry& registry, const std::string& path) {
    return registry.Find(path);
}

void RenameAviToMov(ClipRegistry& registry) {
    for (const auto& [key, clips] : registry.ByPath()) {
        if (!EndsWithIgnoringAsciiCase(key, ".avi")) {
            continue;
        }
        for (FCClipItemBase* clip : clips) {
            // The last "." of a path ending in ".avi" is the extension's: only it is replaced.
            std::string& path = clip->mediaPath;
            size_t dot = path.rfind('.');
            path.erase(dot == std::string::npos ? path.size() : dot);
            path.append(".mov");
        }
    }
}

void ClearClipRegistry(ClipRegistry& registry) {
    registry.Clear();
}
