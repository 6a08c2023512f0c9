#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

/// What the element writers need to write the portable form of a document (the one that
/// importers other than Final Cut Pro 7 read whole): file URLs for media locators, and an id per
/// media file so that each sequence describes a file once and refers to it afterwards.
class PortableForm {
  public:
    /// `mediaFolder` is where relative locators start: the AAF file's folder.
    explicit PortableForm(std::string mediaFolder);

    /// The "pathurl" text for a media path; none when there is no locator.
    const std::optional<std::string>& PathUrl(const std::string& mediaPath);

    /// A new sequence begins: each file is described in full again at its first use, so that
    /// every sequence can be imported on its own.
    void StartSequence();

    struct FileUse {
        std::string_view id;   ///< "file-1", "file-2", … in order of first use in the document
        bool describedBefore;  ///< true when this sequence already holds the full description
    };
    /// The id of the media file at `url`, the same throughout the document.
    FileUse UseFile(const std::string& url);

  private:
    struct FileEntry {
        std::string id;
        uint64_t describedInSequence = 0;
    };

    std::string mediaFolder_;
    std::unordered_map<std::string, std::optional<std::string>> urls_;
    std::unordered_map<std::string, FileEntry> files_;
    uint64_t sequence_ = 1;
};
