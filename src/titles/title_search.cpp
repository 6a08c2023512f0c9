#include "titles/title_search.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "model/percent_decoding.h"
#include "platform/files.h"

namespace {

std::vector<std::string>& SearchFolders() {
    static std::vector<std::string> folders;
    return folders;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           });
}

bool IsDriveLetterPath(std::string_view path) {
    return path.size() >= 3 && path[0] == '/' &&
           std::isalpha(static_cast<unsigned char>(path[1])) && (path[2] == ':' || path[2] == '|');
}

}  // namespace

void SetTitleSearchFolders(std::vector<std::string> folders) {
    SearchFolders() = std::move(folders);
}

const std::vector<std::string>& GetTitleSearchFolders() {
    return SearchFolders();
}

std::string PathFromFileUrl(std::string_view path) {
    constexpr std::string_view kScheme = "file:";
    if (!StartsWithIgnoringCase(path, kScheme)) {
        return {};
    }
    std::string_view rest = path.substr(kScheme.size());
    // Drop a query or fragment; neither belongs to the file's path.
    rest = rest.substr(0, std::min(rest.find('?'), rest.find('#')));
    std::string decoded;
    if (rest.substr(0, 2) == "//") {
        rest.remove_prefix(2);
        const size_t slash = rest.find('/');
        const std::string_view host = rest.substr(0, slash);
        const std::string_view local =
            slash == std::string_view::npos ? std::string_view() : rest.substr(slash);
        if (host.empty() || (host.size() == 9 && StartsWithIgnoringCase(host, "localhost"))) {
            decoded = PercentDecoded(local);
        } else {
            // A host names a network share: //host/share/... as Windows spells it.
            decoded = "//" + PercentDecoded(host) + PercentDecoded(local);
        }
    } else {
        decoded = PercentDecoded(rest);
    }
    // "file:///C:/..." names the drive path "C:/...".
    if (IsDriveLetterPath(decoded)) {
        decoded.erase(0, 1);
        decoded[1] = ':';
    }
    return decoded;
}

std::string_view FileNameOf(std::string_view path) {
    const size_t separator = path.find_last_of("/\\");
    return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

std::vector<std::string> TitleDocumentCandidates(std::string_view path,
                                                 const std::vector<std::string>& folders) {
    std::vector<std::string> candidates;
    auto add = [&candidates](std::string candidate) {
        if (!candidate.empty() &&
            std::find(candidates.begin(), candidates.end(), candidate) == candidates.end()) {
            candidates.push_back(std::move(candidate));
        }
    };
    add(std::string(path));
    const std::string fromUrl = PathFromFileUrl(path);
    add(fromUrl);
    const std::string_view name = FileNameOf(fromUrl.empty() ? path : std::string_view(fromUrl));
    if (!name.empty()) {
        for (const std::string& folder : folders) {
            add(tessel::platform::Utf8FromPath(tessel::platform::PathFromUtf8(folder) /
                                               tessel::platform::PathFromUtf8(name)));
        }
    }
    return candidates;
}
