#include "job/clip_registry.h"

#include <cctype>
#include <string_view>

#include "model/clip_item.h"

ClipRegistry g_videoClipsByPath;
ClipRegistry g_audioClipsByPath;

namespace {

bool EndsWithAviIgnoringCase(std::string_view path) {
    constexpr std::string_view kAvi = ".avi";
    if (path.size() < kAvi.size()) {
        return false;
    }
    std::string_view tail = path.substr(path.size() - kAvi.size());
    for (size_t i = 0; i < kAvi.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(tail[i])) != kAvi[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace

void RegisterClipItem(ClipRegistry& registry, FCClipItemBase* clip) {
    if (clip == nullptr) {
        return;
    }
    registry[clip->mediaPath].push_back(clip);
}

const ClipList* FindClipsByPath(const ClipRegistry& registry, const std::string& path) {
    auto found = registry.find(path);
    return found == registry.end() ? nullptr : &found->second;
}

void RenameAviToMov(ClipRegistry& registry) {
    for (auto& [key, clips] : registry) {
        if (!EndsWithAviIgnoringCase(key)) {
            continue;
        }
        for (FCClipItemBase* clip : clips) {
            // The item's own path, not the key: the last "." of a path ending in ".avi" is the
            // extension's, so this replaces exactly that extension.
            std::string& path = clip->mediaPath;
            size_t dot = path.rfind('.');
            path.erase(dot == std::string::npos ? path.size() : dot);
            path.append(".mov");
        }
    }
}

void ClearClipRegistry(ClipRegistry& registry) {
    registry.clear();
}
