#include "xmeml/portable_form.h"

#include <utility>

#include "xmeml/file_url.h"

PortableForm::PortableForm(std::string mediaFolder) : mediaFolder_(std::move(mediaFolder)) {}

const std::optional<std::string>& PortableForm::PathUrl(const std::string& mediaPath) {
    // Long timelines use few files many times: each path is turned into a URL once.
    auto found = urls_.find(mediaPath);
    if (found == urls_.end()) {
        found = urls_.emplace(mediaPath, FileUrlFromLocator(mediaPath, mediaFolder_)).first;
    }
    return found->second;
}

void PortableForm::StartSequence() {
    ++sequence_;
}

PortableForm::FileUse PortableForm::UseFile(const std::string& url) {
    // Keyed by the URL: two spellings of one locator ("D:\a.mov", "D:/a.mov") are one file.
    auto [entry, added] = files_.try_emplace(url);
    if (added) {
        entry->second.id = "file-" + std::to_string(files_.size());
    }
    const bool describedBefore = entry->second.describedInSequence == sequence_;
    entry->second.describedInSequence = sequence_;
    return {entry->second.id, describedBefore};
}
