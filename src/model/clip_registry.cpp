#include "model/clip_registry.h"

#include <cstdint>
#include <functional>
#include <string_view>

#include "model/ascii_case.h"
#include "model/clip_item.h"

ClipRegistry g_videoClipsByPath;
ClipRegistry g_audioClipsByPath;

size_t ClipRegistry::PathHash::operator()(const std::string& path) const {
    return std::hash<std::string_view>{}(path);
}

size_t ClipRegistry::PlaceHash::operator()(const Place& place) const {
    // Places of one path differ in the start, mostly by a few hundred edit units: mixed, so
    // that neighbours do not crowd the same slots.
    uint64_t hash = place.path;
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
    const uint32_t path = paths_.Insert(clip->mediaPath);
    if (path == lists_.size()) {
        lists_.emplace_back();
    }
    lists_[path].push_back(clip);
    ++itemCount_;
    if (placesIndexed_) {
        IndexPlace(path, clip);
    }
}

void ClipRegistry::IndexPlace(uint32_t path, FCClipItemBase* clip) const {
    const uint32_t place = places_.Insert(Place{path, clip->recordStart, clip->length});
    if (place == atPlace_.size()) {
        atPlace_.push_back(PlaceItems{clip});
        return;
    }
    PlaceItems& items = atPlace_[place];
    if (items.crowded == UINT32_MAX) {
        items.crowded = static_cast<uint32_t>(crowded_.size());
        crowded_.push_back({items.first});
    }
    crowded_[items.crowded].push_back(clip);
}

const ClipList* ClipRegistry::Find(const std::string& path) const {
    const uint32_t number = paths_.Find(path);
    return number == paths_.kAbsent ? nullptr : &lists_[number];
}

std::span<FCClipItemBase* const> ClipRegistry::FindAt(const std::string& path, int64_t recordStart,
                                                      int64_t length) const {
    const uint32_t number = paths_.Find(path);
    if (number == paths_.kAbsent) {
        return {};
    }
    if (!placesIndexed_) {
        // Items of one place share their path: each path's list in order keeps every place's
        // items in registration order.
        places_.Reserve(itemCount_);
        atPlace_.reserve(itemCount_);
        for (uint32_t key = 0; key < lists_.size(); ++key) {
            for (FCClipItemBase* clip : lists_[key]) {
                IndexPlace(key, clip);
            }
        }
        placesIndexed_ = true;
    }
    const uint32_t place = places_.Find(Place{number, recordStart, length});
    if (place == places_.kAbsent) {
        return {};
    }
    const PlaceItems& items = atPlace_[place];
    if (items.crowded != UINT32_MAX) {
        return crowded_[items.crowded];
    }
    return {&items.first, 1};
}

void ClipRegistry::Clear() {
    paths_.Clear();
    lists_.clear();
    itemCount_ = 0;
    placesIndexed_ = false;
    places_.Clear();
    atPlace_ = {};
    crowded_ = {};
}

void RegisterClipItem(ClipRegistry& registry, FCClipItemBase* clip) {
    registry.Register(clip);
}

const ClipList* FindClipsByPath(const ClipRegistry& registry, const std::string& path) {
    return registry.Find(path);
}

void RenameAviToMov(ClipRegistry& registry) {
    const std::vector<std::string>& keys = registry.Paths();
    for (size_t number = 0; number < keys.size(); ++number) {
        if (!EndsWithIgnoringAsciiCase(keys[number], ".avi")) {
            continue;
        }
        // The items of a key nearly always share one text: it is renamed once for all of them.
        SharedText from;
        SharedText to;
        for (FCClipItemBase* clip : registry.ListAt(number)) {
            if (!clip->mediaPath.SharesWith(from) || from.empty()) {
                from = clip->mediaPath;
                // The last "." of a path ending in ".avi" is the extension's: only it is replaced.
                std::string path = from.str();
                const size_t dot = path.rfind('.');
                path.erase(dot == std::string::npos ? path.size() : dot);
                path.append(".mov");
                to = std::move(path);
            }
            clip->mediaPath = to;
        }
    }
}

void ClearClipRegistry(ClipRegistry& registry) {
    registry.Clear();
}
