#include "model/clip_registry.h"

#include <functional>

#include "model/ascii_case.h"
#include "model/clip_item.h"

ClipRegistry g_videoClipsByPath;
ClipRegistry g_audioClipsByPath;

size_t ClipRegistry::PlaceHash::operator()(const Place& place) const {
    size_t hash = std::hash<const ClipList*>{}(place.list);
    hash = hash * 31 + std::hash<int64_t>{}(place.recordStart);
    return hash * 31 + std::hash<int64_t>{}(place.length);
}

void ClipRegistry::Register(FCClipItemBase* clip) {
    if (clip == nullptr) {
        return;
    }
    ClipList& list = byPath_[clip->mediaPath];
    list.push_back(clip);
    byPlace_[Place{&list, clip->recordStart, clip->length}].push_back(clip);
}

const ClipList* ClipRegistry::Find(const std::string& path) const {
    auto found = byPath_.find(path);
    return found == byPath_.end() ? nullptr : &found->second;
}

const ClipList* ClipRegistry::FindAt(const std::string& path, int64_t recordStart,
                                     int64_t length) const {
    const ClipList* list = Find(path);
    if (list == nullptr) {
        return nullptr;
    }
    auto found = byPlace_.find(Place{list, recordStart, length});
    return found == byPlace_.end() ? nullptr : &found->second;
}

void ClipRegistry::Clear() {
    byPlace_.clear();
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
