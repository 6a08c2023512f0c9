#include "aaf/compound_file_writer.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "platform/files.h"
#include "platform/memory.h"

namespace tessel::cfb {
namespace {

constexpr std::uint32_t kFreeSect = 0xFFFFFFFF;
constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kFatSect = 0xFFFFFFFD;
constexpr std::uint32_t kDifSect = 0xFFFFFFFC;
constexpr std::uint32_t kNoStream = 0xFFFFFFFF;
constexpr std::uint32_t kMiniSectorSize = 64;
constexpr std::uint32_t kMiniStreamCutoff = 4096;
constexpr std::uint32_t kHeaderDifatEntries = 109;
constexpr std::uint32_t kDirEntrySize = 128;
constexpr std::size_t kMaxNameUnits = 31;

std::uint32_t CeilDiv(std::uint64_t value, std::uint64_t unit) {
    return static_cast<std::uint32_t>((value + unit - 1) / unit);
}

void Put16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

void Put32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

void Put64(std::uint8_t* p, std::uint64_t v) {
    for (int i = 0; i < 8; ++i) {
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

/// UTF-8 to UTF-16; false on malformed input.
bool Utf8ToUtf16(std::string_view in, std::u16string& out) {
    out.clear();
    for (std::size_t i = 0; i < in.size();) {
        const auto c = static_cast<unsigned char>(in[i]);
        std::uint32_t cp = 0;
        std::size_t extra = 0;
        if (c < 0x80) {
            cp = c;
        } else if ((c & 0xE0) == 0xC0) {
            cp = c & 0x1Fu;
            extra = 1;
        } else if ((c & 0xF0) == 0xE0) {
            cp = c & 0x0Fu;
            extra = 2;
        } else if ((c & 0xF8) == 0xF0) {
            cp = c & 0x07u;
            extra = 3;
        } else {
            return false;
        }
        if (i + extra >= in.size()) {
            return false;
        }
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto cc = static_cast<unsigned char>(in[i + k]);
            if ((cc & 0xC0) != 0x80) {
                return false;
            }
            cp = (cp << 6) | (cc & 0x3Fu);
        }
        i += extra + 1;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return true;
}

/// Upper-case mapping used for the sibling order. AAF names are ASCII, for which this is exactly
/// MS-CFB's simple case mapping; other units are compared unmapped.
char16_t UpperUnit(char16_t c) {
    return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - (u'a' - u'A')) : c;
}

/// The MS-CFB sibling order: shorter names first, then unit by unit after upper-casing.
int CompareNames(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) {
        return a.size() < b.size() ? -1 : 1;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const char16_t x = UpperUnit(a[i]);
        const char16_t y = UpperUnit(b[i]);
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    return 0;
}

struct TreeLinks {
    std::uint32_t left = kNoStream;
    std::uint32_t right = kNoStream;
    std::uint32_t child = kNoStream;
    std::uint8_t colour = 1;  // 0 red, 1 black
};

/// Links `sorted` into a balanced red-black tree: the middle element on top, halves below; only the
/// deepest level is red, and only when it is incomplete. Returns the top's id.
std::uint32_t BuildTree(const std::vector<std::uint32_t>& sorted, std::vector<TreeLinks>& links) {
    const std::size_t n = sorted.size();
    if (n == 0) {
        return kNoStream;
    }
    std::size_t deepest = 0;
    while ((std::size_t{2} << deepest) <= n) {
        ++deepest;
    }
    const bool incomplete = n != (std::size_t{2} << deepest) - 1;
    struct Range {
        std::size_t lo, hi, depth;
        std::uint32_t* slot;
    };
    std::uint32_t top = kNoStream;
    std::vector<Range> stack{{0, n, 0, &top}};
    while (!stack.empty()) {
        const Range r = stack.back();
        stack.pop_back();
        if (r.lo >= r.hi) {
            continue;
        }
        const std::size_t mid = (r.lo + r.hi) / 2;
        const std::uint32_t id = sorted[mid];
        *r.slot = id;
        links[id].colour = (incomplete && r.depth == deepest) ? 0 : 1;
        stack.push_back({r.lo, mid, r.depth + 1, &links[id].left});
        stack.push_back({mid + 1, r.hi, r.depth + 1, &links[id].right});
    }
    return top;
}

// Hands the file whole blocks of 2 MiB (the last one aside), so that every write but the last
// starts and ends at a multiple of 2 MiB. Linux then keeps the file in its page cache in huge
// folios; written in uneven pieces, it stays in small pages, and a program that maps it (the
// converter, in the benchmark) takes about a tenth longer at 100,000 clips, in page faults.
class BufferedSink {
  public:
    explicit BufferedSink(platform::AtomicFile& file) : file_(file) { buffer_.reserve(kSize); }
    bool Append(const std::uint8_t* data, std::size_t size) {
        if (!buffer_.empty()) {
            const std::size_t taken = std::min(size, kSize - buffer_.size());
            buffer_.insert(buffer_.end(), data, data + taken);
            data += taken;
            size -= taken;
            if (buffer_.size() < kSize) {
                return true;
            }
            if (!Flush()) {
                return false;
            }
        }
        // Whole blocks straight from the caller; the rest waits for the next piece.
        const std::size_t whole = size - size % kSize;
        if (whole != 0 && !file_.Write(data, whole)) {
            return false;
        }
        buffer_.assign(data + whole, data + size);
        return true;
    }
    bool Flush() {
        const bool ok = buffer_.empty() || file_.Write(buffer_.data(), buffer_.size());
        buffer_.clear();
        return ok;
    }

  private:
    static constexpr std::size_t kSize = platform::kHugePageSize;
    platform::AtomicFile& file_;
    std::vector<std::uint8_t> buffer_;
};

}  // namespace

CompoundFileWriter::CompoundFileWriter(std::uint32_t sectorSize) : sectorSize_(sectorSize) {
    static constexpr std::u16string_view kRootName = u"Root Entry";
    Entry root;
    root.nameLength = static_cast<std::uint8_t>(kRootName.size());
    root.type = 5;
    names_.assign(kRootName.begin(), kRootName.end());
    entries_.push_back(std::move(root));
    if (sectorSize != 512 && sectorSize != 4096) {
        Fail("sector size " + std::to_string(sectorSize) + " is neither 512 nor 4096");
    }
}

void CompoundFileWriter::SetRootClsid(const Clsid& clsid) {
    entries_[kRootId].clsid = clsid;
}

void CompoundFileWriter::Fail(std::string message) const {
    if (error_.empty()) {
        error_ = std::move(message);
    }
}

CompoundFileWriter::EntryId CompoundFileWriter::Add(EntryId parent, std::string_view utf8Name,
                                                    std::uint8_t type) {
    Entry entry;
    entry.type = type;
    entry.parent = parent;
    std::u16string name;
    if (!Utf8ToUtf16(utf8Name, name)) {
        Fail("entry name is not valid UTF-8: " + std::string(utf8Name));
    } else if (name.empty() || name.size() > kMaxNameUnits) {
        Fail("entry name must have 1 to 31 characters: \"" + std::string(utf8Name) + "\"");
    } else if (name.find_first_of(u"/\\:!") != std::u16string::npos) {
        Fail("entry name contains one of / \\ : !: \"" + std::string(utf8Name) + "\"");
    }
    name.resize(std::min(name.size(), kMaxNameUnits));
    entry.nameOffset = static_cast<std::uint32_t>(names_.size());
    entry.nameLength = static_cast<std::uint8_t>(name.size());
    names_.insert(names_.end(), name.begin(), name.end());
    const auto id = static_cast<EntryId>(entries_.size());
    if (parent >= entries_.size() || entries_[parent].type == 2) {
        Fail("parent of \"" + std::string(utf8Name) + "\" is not a storage");
    }
    entries_.push_back(std::move(entry));
    return id;
}

CompoundFileWriter::EntryId CompoundFileWriter::AddStorage(EntryId parent,
                                                           std::string_view utf8Name,
                                                           const Clsid& clsid) {
    const EntryId id = Add(parent, utf8Name, 1);
    entries_[id].clsid = clsid;
    return id;
}

CompoundFileWriter::EntryId CompoundFileWriter::AddStream(EntryId parent, std::string_view utf8Name,
                                                          std::vector<std::uint8_t> data) {
    const EntryId id = Add(parent, utf8Name, 2);
    entries_[id].data = std::move(data);
    return id;
}

bool CompoundFileWriter::Emit(const Sink& sink) const {
    const std::uint32_t S = sectorSize_;
    const std::uint32_t perSector = S / 4;  // FAT, MiniFAT and DIFAT entries per sector
    const auto count = static_cast<std::uint32_t>(entries_.size());

    // Children of every storage, grouped by parent (a counting sort keeps it linear).
    std::vector<std::uint32_t> firstChild(count + 1, 0);
    for (std::uint32_t id = 1; id < count; ++id) {
        ++firstChild[entries_[id].parent + 1];
    }
    for (std::uint32_t id = 0; id < count; ++id) {
        firstChild[id + 1] += firstChild[id];
    }
    std::vector<std::uint32_t> children(count > 0 ? count - 1 : 0);
    {
        std::vector<std::uint32_t> fill(firstChild.begin(), firstChild.end() - 1);
        for (std::uint32_t id = 1; id < count; ++id) {
            children[fill[entries_[id].parent]++] = id;
        }
    }

    // Sibling trees, in MS-CFB order; duplicate names (under that order) are an error.
    std::vector<TreeLinks> links(count);
    std::vector<std::uint32_t> sorted;
    for (std::uint32_t id = 0; id < count; ++id) {
        if (firstChild[id] == firstChild[id + 1]) {
            continue;
        }
        sorted.assign(children.begin() + firstChild[id], children.begin() + firstChild[id + 1]);
        std::sort(sorted.begin(), sorted.end(), [&](std::uint32_t a, std::uint32_t b) {
            return CompareNames(Name(entries_[a]), Name(entries_[b])) < 0;
        });
        for (std::size_t i = 1; i < sorted.size(); ++i) {
            if (CompareNames(Name(entries_[sorted[i - 1]]), Name(entries_[sorted[i]])) == 0) {
                Fail("two entries of one storage have the same name (ignoring case)");
                return false;
            }
        }
        links[id].child = BuildTree(sorted, links);
    }

    // Where every stream goes: the mini stream (small ones) or whole sectors (large ones).
    std::vector<std::uint32_t> start(count, kEndOfChain);
    std::uint64_t miniSectors = 0;
    std::uint64_t largeSectors = 0;
    for (std::uint32_t id = 1; id < count; ++id) {
        const Entry& e = entries_[id];
        if (e.type != 2 || e.data.empty()) {
            continue;
        }
        if (e.data.size() < kMiniStreamCutoff) {
            start[id] = static_cast<std::uint32_t>(miniSectors);
            miniSectors += CeilDiv(e.data.size(), kMiniSectorSize);
        } else {
            largeSectors += CeilDiv(e.data.size(), S);
        }
    }
    const std::uint32_t dirSectors = CeilDiv(std::uint64_t{count} * kDirEntrySize, S);
    const std::uint32_t miniFatSectors = CeilDiv(miniSectors * 4, S);
    const std::uint64_t miniStreamBytes = miniSectors * kMiniSectorSize;
    const std::uint32_t miniStreamSectors = CeilDiv(miniStreamBytes, S);
    const std::uint64_t payload =
        std::uint64_t{dirSectors} + miniFatSectors + miniStreamSectors + largeSectors;
    std::uint64_t fatSectors = 1;
    std::uint64_t difatSectors = 0;
    for (;;) {
        difatSectors = fatSectors <= kHeaderDifatEntries
                           ? 0
                           : CeilDiv(fatSectors - kHeaderDifatEntries, perSector - 1);
        if (fatSectors * perSector >= payload + fatSectors + difatSectors) {
            break;
        }
        ++fatSectors;
    }
    const std::uint64_t totalSectors = payload + fatSectors + difatSectors;
    const std::uint64_t fileSize = (totalSectors + 1) * S;
    if (S == 512 ? fileSize > 0x7FFFFFFFull : fileSize > 0x7FFFFF00ull) {
        // Version 3 files end at 2 GB; larger version 4 files would need the range-lock sector.
        Fail("the file would exceed 2 GB");
        return false;
    }

    // Sector numbers of each part, in file order.
    const auto F = static_cast<std::uint32_t>(fatSectors);
    const auto X = static_cast<std::uint32_t>(difatSectors);
    const std::uint32_t firstDifat = F;
    const std::uint32_t firstDir = F + X;
    const std::uint32_t firstMiniFat = firstDir + dirSectors;
    const std::uint32_t firstMiniStream = firstMiniFat + miniFatSectors;
    std::uint32_t next = firstMiniStream + miniStreamSectors;
    for (std::uint32_t id = 1; id < count; ++id) {
        const Entry& e = entries_[id];
        if (e.type == 2 && e.data.size() >= kMiniStreamCutoff) {
            start[id] = next;
            next += CeilDiv(e.data.size(), S);
        }
    }

    std::vector<std::uint32_t> fat(std::size_t{F} * perSector, kFreeSect);
    auto chain = [&](std::uint32_t first, std::uint32_t length) {
        for (std::uint32_t i = 0; i + 1 < length; ++i) {
            fat[first + i] = first + i + 1;
        }
        if (length > 0) {
            fat[first + length - 1] = kEndOfChain;
        }
    };
    for (std::uint32_t i = 0; i < F; ++i) {
        fat[i] = kFatSect;
    }
    for (std::uint32_t i = 0; i < X; ++i) {
        fat[firstDifat + i] = kDifSect;
    }
    chain(firstDir, dirSectors);
    chain(firstMiniFat, miniFatSectors);
    chain(firstMiniStream, miniStreamSectors);
    for (std::uint32_t id = 1; id < count; ++id) {
        const Entry& e = entries_[id];
        if (e.type == 2 && e.data.size() >= kMiniStreamCutoff) {
            chain(start[id], CeilDiv(e.data.size(), S));
        }
    }

    std::vector<std::uint8_t> sector(S);
    auto flushSector = [&]() {
        const bool ok = sink(sector.data(), sector.size());
        std::fill(sector.begin(), sector.end(), 0);
        return ok;
    };

    // Header (the first sector; a 4096-byte one is zero after byte 512).
    std::uint8_t* h = sector.data();
    static constexpr std::uint8_t kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    std::memcpy(h, kSignature, 8);
    std::memcpy(h + 0x08, headerClsid_.data(), 16);
    Put16(h + 0x18, 0x003E);
    Put16(h + 0x1A, S == 512 ? 3 : 4);
    Put16(h + 0x1C, 0xFFFE);
    Put16(h + 0x1E, S == 512 ? 9 : 12);
    Put16(h + 0x20, 6);
    Put32(h + 0x28, S == 512 ? 0 : dirSectors);
    Put32(h + 0x2C, F);
    Put32(h + 0x30, firstDir);
    Put32(h + 0x34, 0);
    Put32(h + 0x38, kMiniStreamCutoff);
    Put32(h + 0x3C, miniFatSectors > 0 ? firstMiniFat : kEndOfChain);
    Put32(h + 0x40, miniFatSectors);
    Put32(h + 0x44, X > 0 ? firstDifat : kEndOfChain);
    Put32(h + 0x48, X);
    for (std::uint32_t i = 0; i < kHeaderDifatEntries; ++i) {
        Put32(h + 0x4C + 4 * i, i < F ? i : kFreeSect);
    }
    if (!flushSector()) {
        return false;
    }

    // FAT sectors.
    for (std::uint32_t s = 0; s < F; ++s) {
        for (std::uint32_t i = 0; i < perSector; ++i) {
            Put32(sector.data() + 4 * i, fat[std::size_t{s} * perSector + i]);
        }
        if (!flushSector()) {
            return false;
        }
    }
    // DIFAT sectors: the FAT sector numbers beyond the header's 109, then the next pointer.
    std::uint32_t fatIndex = kHeaderDifatEntries;
    for (std::uint32_t s = 0; s < X; ++s) {
        for (std::uint32_t i = 0; i + 1 < perSector; ++i, ++fatIndex) {
            Put32(sector.data() + 4 * i, fatIndex < F ? fatIndex : kFreeSect);
        }
        Put32(sector.data() + S - 4, s + 1 < X ? firstDifat + s + 1 : kEndOfChain);
        if (!flushSector()) {
            return false;
        }
    }

    // Directory.
    const std::uint32_t entriesPerSector = S / kDirEntrySize;
    for (std::uint32_t i = 0; i < dirSectors * entriesPerSector; ++i) {
        std::uint8_t* d = sector.data() + (i % entriesPerSector) * kDirEntrySize;
        if (i < count) {
            const Entry& e = entries_[i];
            const std::u16string_view name = Name(e);
            for (std::size_t k = 0; k < name.size(); ++k) {
                Put16(d + 2 * k, static_cast<std::uint16_t>(name[k]));
            }
            Put16(d + 0x40, static_cast<std::uint16_t>(2 * (name.size() + 1)));
            d[0x42] = e.type;
            d[0x43] = i == kRootId ? 1 : links[i].colour;
            Put32(d + 0x44, links[i].left);
            Put32(d + 0x48, links[i].right);
            Put32(d + 0x4C, links[i].child);
            if (e.type != 2) {
                std::memcpy(d + 0x50, e.clsid.data(), 16);
            }
            if (i == kRootId) {
                Put32(d + 0x74, miniStreamSectors > 0 ? firstMiniStream : kEndOfChain);
                Put64(d + 0x78, miniStreamBytes);
            } else if (e.type == 2) {
                Put32(d + 0x74, start[i]);
                Put64(d + 0x78, e.data.size());
            }
        } else {
            Put32(d + 0x44, kNoStream);
            Put32(d + 0x48, kNoStream);
            Put32(d + 0x4C, kNoStream);
        }
        if ((i + 1) % entriesPerSector == 0 && !flushSector()) {
            return false;
        }
    }

    // MiniFAT: each small stream is one run of mini sectors.
    {
        std::uint32_t filled = 0;
        auto putMini = [&](std::uint32_t value) {
            Put32(sector.data() + 4 * (filled % perSector), value);
            ++filled;
            return filled % perSector != 0 || flushSector();
        };
        for (std::uint32_t id = 1; id < count; ++id) {
            const Entry& e = entries_[id];
            if (e.type != 2 || e.data.empty() || e.data.size() >= kMiniStreamCutoff) {
                continue;
            }
            const std::uint32_t n = CeilDiv(e.data.size(), kMiniSectorSize);
            for (std::uint32_t k = 0; k < n; ++k) {
                if (!putMini(k + 1 < n ? start[id] + k + 1 : kEndOfChain)) {
                    return false;
                }
            }
        }
        while (filled % perSector != 0) {
            if (!putMini(kFreeSect)) {
                return false;
            }
        }
    }

    // Mini stream, then the large streams; every part zero-padded to whole units.
    {
        std::vector<std::uint8_t> run;
        run.reserve(std::size_t{S} * 64);
        auto flushRun = [&](bool final) {
            const std::size_t whole = final ? run.size() : run.size() / S * S;
            if (final && whole % S != 0) {
                run.resize((whole / S + 1) * S, 0);
            }
            const std::size_t n = final ? run.size() : whole;
            if (n > 0 && !sink(run.data(), n)) {
                return false;
            }
            run.erase(run.begin(), run.begin() + static_cast<std::ptrdiff_t>(n));
            return true;
        };
        for (std::uint32_t id = 1; id < count; ++id) {
            const Entry& e = entries_[id];
            if (e.type != 2 || e.data.empty() || e.data.size() >= kMiniStreamCutoff) {
                continue;
            }
            run.insert(run.end(), e.data.begin(), e.data.end());
            run.resize(
                run.size() + (kMiniSectorSize - e.data.size() % kMiniSectorSize) % kMiniSectorSize,
                0);
            if (run.size() >= std::size_t{S} * 32 && !flushRun(false)) {
                return false;
            }
        }
        if (!flushRun(true)) {
            return false;
        }
        for (std::uint32_t id = 1; id < count; ++id) {
            const Entry& e = entries_[id];
            if (e.type != 2 || e.data.size() < kMiniStreamCutoff) {
                continue;
            }
            if (!sink(e.data.data(), e.data.size())) {
                return false;
            }
            const std::size_t pad = (S - e.data.size() % S) % S;
            if (pad > 0) {
                std::fill(sector.begin(), sector.end(), 0);
                if (!sink(sector.data(), pad)) {
                    return false;
                }
            }
        }
    }
    return true;
}

std::vector<std::uint8_t> CompoundFileWriter::ToBytes(WriteStatus* status) const {
    std::vector<std::uint8_t> out;
    const bool ok = error_.empty() && Emit([&](const std::uint8_t* data, std::size_t size) {
                        out.insert(out.end(), data, data + size);
                        return true;
                    });
    if (!ok) {
        out.clear();
    }
    if (status != nullptr) {
        status->message = ok ? std::string() : error_;
    }
    return out;
}

WriteStatus CompoundFileWriter::Write(const std::string& path) const {
    if (!error_.empty()) {
        return {error_};
    }
    platform::SystemError error;
    std::unique_ptr<platform::AtomicFile> file = platform::AtomicFile::Create(path, error);
    if (!file) {
        return {"cannot create a file beside " + path + ": " + platform::SystemErrorText(error)};
    }
    BufferedSink buffered(*file);
    const bool ok = Emit([&](const std::uint8_t* data, std::size_t size) {
                        return buffered.Append(data, size);
                    }) &&
                    buffered.Flush();
    if (!ok && !error_.empty()) {
        return {error_};
    }
    platform::AtomicFile::Step step = platform::AtomicFile::Step::kNone;
    if (!file->Commit(step, error)) {
        return {
            (step == platform::AtomicFile::Step::kReplace ? "cannot replace " : "cannot write ") +
            path + ": " + platform::SystemErrorText(error)};
    }
    return {};
}

}  // namespace tessel::cfb
