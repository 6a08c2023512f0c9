#include "directory_check.h"

#include <cmath>
#include <cstring>
#include <functional>

namespace tessel::testing {
namespace {

std::uint16_t Get16(const std::vector<std::uint8_t>& f, std::size_t at) {
    return static_cast<std::uint16_t>(f[at] | f[at + 1] << 8);
}

std::uint32_t Get32(const std::vector<std::uint8_t>& f, std::size_t at) {
    return static_cast<std::uint32_t>(f[at]) | static_cast<std::uint32_t>(f[at + 1]) << 8 |
           static_cast<std::uint32_t>(f[at + 2]) << 16 |
           static_cast<std::uint32_t>(f[at + 3]) << 24;
}

struct DirEntry {
    std::u16string name;
    std::uint8_t type, colour;
    std::uint32_t left, right, child;
};

char16_t Upper(char16_t c) {
    return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c;
}

bool Less(const std::u16string& a, const std::u16string& b) {
    if (a.size() != b.size()) {
        return a.size() < b.size();
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Upper(a[i]) != Upper(b[i])) {
            return Upper(a[i]) < Upper(b[i]);
        }
    }
    return false;
}

}  // namespace

std::vector<std::string> CheckSiblingTrees(const std::vector<std::uint8_t>& file) {
    std::vector<std::string> faults;
    const std::size_t S = std::size_t{1} << Get16(file, 0x1E);
    const std::uint32_t nFat = Get32(file, 0x2C);
    std::vector<std::uint32_t> fatSectors;
    for (std::uint32_t i = 0; i < nFat && i < 109; ++i) {
        fatSectors.push_back(Get32(file, 0x4C + 4 * i));
    }
    std::uint32_t difat = Get32(file, 0x44);
    for (std::uint32_t k = 0; k < Get32(file, 0x48); ++k) {
        for (std::size_t i = 0; i + 1 < S / 4 && fatSectors.size() < nFat; ++i) {
            fatSectors.push_back(Get32(file, (difat + 1) * S + 4 * i));
        }
        difat = Get32(file, (difat + 1) * S + S - 4);
    }
    std::vector<std::uint32_t> fat;
    for (std::uint32_t s : fatSectors) {
        for (std::size_t i = 0; i < S / 4; ++i) {
            fat.push_back(Get32(file, (s + 1) * S + 4 * i));
        }
    }
    std::vector<DirEntry> entries;
    for (std::uint32_t s = Get32(file, 0x30); s < 0xFFFFFFFA; s = fat.at(s)) {
        for (std::size_t off = (s + 1) * S; off < (s + 2) * S; off += 128) {
            DirEntry e;
            const std::size_t units = Get16(file, off + 0x40) / 2u;
            for (std::size_t k = 0; k + 1 < units; ++k) {
                e.name.push_back(static_cast<char16_t>(Get16(file, off + 2 * k)));
            }
            e.type = file[off + 0x42];
            e.colour = file[off + 0x43];
            e.left = Get32(file, off + 0x44);
            e.right = Get32(file, off + 0x48);
            e.child = Get32(file, off + 0x4C);
            entries.push_back(e);
        }
    }
    for (const DirEntry& storage : entries) {
        if (storage.type == 2 || storage.type == 0 || storage.child == 0xFFFFFFFF) {
            continue;
        }
        std::vector<std::uint32_t> inOrder;
        int maxDepth = 0;
        // Returns the black height of the subtree, or -1 when it is unbalanced.
        std::function<int(std::uint32_t, int, bool)> visit = [&](std::uint32_t id, int depth,
                                                                 bool parentRed) -> int {
            if (id == 0xFFFFFFFF) {
                return 0;
            }
            const DirEntry& e = entries.at(id);
            maxDepth = std::max(maxDepth, depth);
            const bool red = e.colour == 0;
            if (red && parentRed) {
                faults.push_back("red node with a red parent in the children of a storage");
            }
            const int left = visit(e.left, depth + 1, red);
            inOrder.push_back(id);
            const int right = visit(e.right, depth + 1, red);
            if (left != right || left < 0) {
                faults.push_back("black heights differ below one node");
                return -1;
            }
            return left + (red ? 0 : 1);
        };
        visit(storage.child, 0, false);
        for (std::size_t i = 1; i < inOrder.size(); ++i) {
            if (!Less(entries[inOrder[i - 1]].name, entries[inOrder[i]].name)) {
                faults.push_back("children out of MS-CFB order");
            }
        }
        if (maxDepth > 2 * std::log2(static_cast<double>(inOrder.size()) + 1)) {
            faults.push_back("sibling tree deeper than a balanced tree");
        }
    }
    return faults;
}

}  // namespace tessel::testing
