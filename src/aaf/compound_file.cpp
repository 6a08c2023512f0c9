#include "aaf/compound_file.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string>
#include <unordered_map>

#include "aaf/byte_order.h"
#include "platform/memory.h"

namespace tessel::aaf {

namespace {

constexpr std::uint8_t kSignature[8] = {0xd0, 0xcf, 0x11, 0xe0, 0xa1, 0xb1, 0x1a, 0xe1};
constexpr std::uint32_t kMaxRegularSector = 0xFFFFFFFA;
constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kFreeSector = 0xFFFFFFFF;
constexpr std::uint32_t kHeaderDifatEntries = 109;
constexpr std::uint32_t kMiniSectorSize = 64;
constexpr std::uint64_t kMiniStreamCutoff = 4096;

// How many units of `unit` bytes hold `size` bytes. Sizes come from the file and may be anything
// up to 2^64 - 1: rounding up by adding first would wrap them to a few units.
constexpr std::uint64_t UnitsFor(std::uint64_t size, std::uint64_t unit) {
    return size / unit + (size % unit != 0 ? 1 : 0);
}
constexpr std::uint32_t kDirectoryEntrySize = 128;
// Offsets of the sibling and child links in a directory entry.
constexpr std::size_t kLeftLink = 0x44;
constexpr std::size_t kRightLink = 0x48;
constexpr std::size_t kChildLink = 0x4C;
// Small child lists are searched linearly; bigger ones are binary-searched in name order.
constexpr std::uint32_t kLinearSearchLimit = 16;

Status Corrupt(std::string detail) {
    return Status::Error(AAFRESULT_CORRUPT_CONTAINER, std::move(detail));
}

std::string Hex(std::uint32_t value) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text = "0x";
    for (int shift = 28; shift >= 0; shift -= 4) {
        text += digits[(value >> shift) & 0xF];
    }
    return text;
}

std::string Num(std::uint64_t value) {
    return std::to_string(value);
}

char16_t UpperAscii(char16_t unit) {
    return unit >= u'a' && unit <= u'z' ? static_cast<char16_t>(unit - (u'a' - u'A')) : unit;
}

}  // namespace

CompoundFile::CompoundFile(std::shared_ptr<const FileData> data)
    : data_(std::move(data)),
      bytes_(data_->Bytes()),
      entries_(platform::HugePageResource()),
      names_(platform::HugePageResource()),
      children_(platform::HugePageResource()) {}

std::size_t CompoundFile::ClassIdHash::operator()(const std::array<std::uint8_t, 16>& id) const {
    std::uint64_t low = 0;
    std::uint64_t high = 0;
    std::memcpy(&low, id.data(), 8);
    std::memcpy(&high, id.data() + 8, 8);
    return static_cast<std::size_t>(low * 0x9E3779B97F4A7C15ULL ^ high);
}

Status CompoundFile::Open(std::shared_ptr<const FileData> data,
                          std::unique_ptr<CompoundFile>& out) {
    std::unique_ptr<CompoundFile> file(new CompoundFile(std::move(data)));
    Status status = file->ReadHeader();
    if (status.ok()) {
        status = file->ReadFat();
    }
    if (status.ok()) {
        status = file->ReadDirectory();
    }
    if (status.ok()) {
        status = file->ReadMiniStream();
    }
    if (status.ok()) {
        status = file->CheckStreamSizes();
    }
    if (status.ok()) {
        status = file->CollectChildren();
    }
    if (status.ok()) {
        // What the directory and the allocation tables hold has been copied.
        file->ReleaseSectors(file->directorySectors_);
        file->ReleaseSectors(file->tableSectors_);
        // Swapped out, not assigned `{}`: that would keep the capacity.
        std::vector<std::uint32_t>().swap(file->directorySectors_);
        std::vector<std::uint32_t>().swap(file->tableSectors_);
        out = std::move(file);
    }
    return status;
}

std::array<std::uint8_t, 16> CompoundFile::HeaderClassId() const {
    std::array<std::uint8_t, 16> id{};
    std::memcpy(id.data(), bytes_.data() + 8, id.size());
    return id;
}

Status CompoundFile::ReadHeader() {
    const std::size_t length = bytes_.size();
    if (length == 0) {
        return Status::Error(AAFRESULT_NOT_COMPOUND_FILE, "the file is empty");
    }
    if (length < sizeof kSignature || std::memcmp(bytes_.data(), kSignature, 8) != 0) {
        return Status::Error(AAFRESULT_NOT_COMPOUND_FILE,
                             "the file does not start with the compound-file signature");
    }
    if (length < 512) {
        return Corrupt("the file ends inside its 512-byte header (" + Num(length) + " bytes)");
    }
    const std::uint8_t* h = bytes_.data();
    const std::uint16_t major = LoadLE16(h + 0x1A);
    if (major != 3 && major != 4) {
        return Corrupt("unsupported compound-file major version " + Num(major));
    }
    if (LoadLE16(h + 0x1C) != 0xFFFE) {
        return Corrupt("the header's byte-order mark is not 0xFFFE");
    }
    const std::uint16_t shift = LoadLE16(h + 0x1E);
    if (shift != 9 && shift != 12) {
        return Corrupt("unsupported sector shift " + Num(shift) +
                       " (only 512 and 4096 byte sectors)");
    }
    if (LoadLE16(h + 0x20) != 6) {
        return Corrupt("unsupported mini-sector shift " + Num(LoadLE16(h + 0x20)));
    }
    if (LoadLE32(h + 0x38) != kMiniStreamCutoff) {
        return Corrupt("unsupported mini-stream cutoff " + Num(LoadLE32(h + 0x38)));
    }
    sectorShift_ = shift;
    sectorSize_ = 1u << shift;
    if (length < sectorSize_) {
        return Corrupt("the file ends inside its " + Num(sectorSize_) + "-byte header sector");
    }
    const std::uint64_t sectors = (length - sectorSize_) / sectorSize_;
    if (sectors > kMaxRegularSector) {
        return Status::Error(AAFRESULT_FILE_TOO_LARGE,
                             "the file has more sectors than a compound file can address");
    }
    sectorCount_ = static_cast<std::uint32_t>(sectors);
    fatSectorCount_ = LoadLE32(h + 0x2C);
    firstDirectorySector_ = LoadLE32(h + 0x30);
    firstMiniFatSector_ = LoadLE32(h + 0x3C);
    firstDifatSector_ = LoadLE32(h + 0x44);
    difatSectorCount_ = LoadLE32(h + 0x48);
    return {};
}

std::uint64_t CompoundFile::StreamSize(EntryId id) const {
    const Entry& entry = entries_[id];
    if (entry.type == EntryType::kRoot) {
        return miniStreamSize_;
    }
    if (entry.type != EntryType::kStream) {
        return 0;
    }
    return std::uint64_t{entry.stream.sizeHigh} << 32 | entry.stream.sizeLow;
}

std::array<std::uint8_t, 16> CompoundFile::ClassIdBytes(EntryId id) const {
    return IsStorage(id) ? classIds_[entries_[id].storage.classIndex] : classIds_.front();
}

void CompoundFile::ReleaseSectors(const std::vector<std::uint32_t>& sectors) const {
    // Runs of neighbouring sectors at a time: a page holds several 512-byte sectors.
    std::size_t first = 0;
    for (std::size_t i = 1; i <= sectors.size(); ++i) {
        if (i == sectors.size() || sectors[i] != sectors[i - 1] + 1) {
            if (first < i) {
                const std::size_t length = (i - first) << sectorShift_;
                data_->ReleasePages({SectorData(sectors[first]), length});
            }
            first = i;
        }
    }
}

const std::uint8_t* CompoundFile::SectorData(std::uint32_t sector) const {
    return bytes_.data() + ((static_cast<std::uint64_t>(sector) + 1) << sectorShift_);
}

Status CompoundFile::ReadFat() {
    const std::uint32_t perSector = sectorSize_ / 4;
    if (fatSectorCount_ == 0) {
        return Corrupt("the header lists no FAT sector");
    }
    if (fatSectorCount_ > sectorCount_) {
        return Corrupt("the header lists " + Num(fatSectorCount_) +
                       " FAT sectors but the file has only " + Num(sectorCount_) + " sectors");
    }
    if (difatSectorCount_ > sectorCount_ ||
        fatSectorCount_ >
            kHeaderDifatEntries + static_cast<std::uint64_t>(difatSectorCount_) * (perSector - 1)) {
        return Corrupt("the header's FAT and DIFAT sector counts do not fit together");
    }
    std::vector<std::uint32_t> fatSectors;
    fatSectors.reserve(fatSectorCount_);
    const std::uint8_t* h = bytes_.data();
    for (std::uint32_t i = 0; i < std::min(fatSectorCount_, kHeaderDifatEntries); ++i) {
        fatSectors.push_back(LoadLE32(h + 0x4C + 4 * i));
    }
    std::vector<bool> visited(sectorCount_, false);
    std::uint32_t difat = firstDifatSector_;
    for (std::uint32_t k = 0; k < difatSectorCount_ && fatSectors.size() < fatSectorCount_; ++k) {
        if (difat >= sectorCount_) {
            return Corrupt("DIFAT sector " + Num(k) + " is " + Hex(difat) +
                           ", outside the file's " + Num(sectorCount_) + " sectors");
        }
        if (visited[difat]) {
            return Corrupt("the DIFAT chain loops at sector " + Num(difat));
        }
        visited[difat] = true;
        tableSectors_.push_back(difat);
        const std::uint8_t* data = SectorData(difat);
        for (std::uint32_t i = 0; i + 1 < perSector && fatSectors.size() < fatSectorCount_; ++i) {
            fatSectors.push_back(LoadLE32(data + 4 * i));
        }
        difat = LoadLE32(data + 4 * (perSector - 1));
    }
    if (fatSectors.size() < fatSectorCount_) {
        return Corrupt("the DIFAT lists only " + Num(fatSectors.size()) + " of " +
                       Num(fatSectorCount_) + " FAT sectors");
    }
    fat_.resize(static_cast<std::size_t>(fatSectorCount_) * perSector);
    for (std::uint32_t i = 0; i < fatSectorCount_; ++i) {
        if (fatSectors[i] >= sectorCount_) {
            return Corrupt("FAT sector " + Num(i) + " is " + Hex(fatSectors[i]) +
                           ", outside the file's " + Num(sectorCount_) + " sectors");
        }
        tableSectors_.push_back(fatSectors[i]);
        const std::uint8_t* data = SectorData(fatSectors[i]);
        std::uint32_t* target = fat_.data() + static_cast<std::size_t>(i) * perSector;
        for (std::uint32_t j = 0; j < perSector; ++j) {
            target[j] = LoadLE32(data + 4 * j);
        }
    }
    // The FAT's last sector describes sectors past the end of the file; they must be free. One
    // that is in use means the file was cut short (checked here so that a truncated file is
    // refused when it opens, not when the lost stream is first read).
    for (std::size_t i = sectorCount_; i < fat_.size(); ++i) {
        if (fat_[i] != kFreeSector) {
            return Corrupt("the file is truncated: it has " + Num(sectorCount_) +
                           " sectors, but the FAT uses sector " + Num(i));
        }
    }
    return {};
}

Status CompoundFile::ReadChain(const std::vector<std::uint32_t>& table, std::uint32_t start,
                               std::uint64_t limit, const char* what,
                               std::vector<std::uint32_t>& out) const {
    out.clear();
    std::uint32_t current = start;
    while (current != kEndOfChain) {
        if (current >= limit || current >= table.size()) {
            return Corrupt(std::string("the chain of the ") + what + " reaches sector " +
                           Hex(current) + ", outside the " + Num(limit) + " sectors present");
        }
        if (out.size() >= limit) {
            return Corrupt(std::string("the chain of the ") + what + " loops");
        }
        out.push_back(current);
        current = table[current];
    }
    return {};
}

Status CompoundFile::ReadDirectory() {
    std::vector<std::uint32_t>& chain = directorySectors_;
    Status status = ReadChain(fat_, firstDirectorySector_, sectorCount_, "directory", chain);
    if (!status.ok()) {
        return status;
    }
    if (chain.empty()) {
        return Corrupt("the directory is empty");
    }
    const std::uint32_t perSector = sectorSize_ / kDirectoryEntrySize;
    // Each entry is written once (no zero-fill first), and the name pool has room for the
    // longest names without being initialised: pages never written cost address space only.
    const std::size_t count = chain.size() * perSector;
    entries_.reserve(count);
    links_.resize(count);
    // Most names are ASCII, kept in a byte a unit.
    names_.reserve(count * 31);
    classIds_.push_back({});
    std::unordered_map<std::array<std::uint8_t, 16>, std::uint32_t, ClassIdHash> classIndex{
        {classIds_.front(), 0}};
    std::uint32_t lastClass = 0;
    for (std::size_t s = 0; s < chain.size(); ++s) {
        const std::uint8_t* sector = SectorData(chain[s]);
        // The directory is most of a long edit's file and read once: ask for sectors ahead of
        // time, which the processor does not do across pages by itself.
        if (s + 8 < chain.size()) {
            const std::uint8_t* ahead = SectorData(chain[s + 8]);
            for (std::uint32_t line = 0; line < sectorSize_; line += 64) {
                __builtin_prefetch(ahead + line);
            }
        }
        for (std::uint32_t k = 0; k < perSector; ++k) {
            const std::size_t id = s * perSector + k;
            const std::uint8_t* raw = sector + k * kDirectoryEntrySize;
            Entry& entry = entries_.emplace_back();
            const std::uint8_t type = raw[0x42];
            if (type == 0) {
                continue;  // unused: its other fields may hold anything, even zero links
            }
            links_[id] = {LoadLE32(raw + kLeftLink), LoadLE32(raw + kRightLink),
                          LoadLE32(raw + kChildLink)};
            if (type != 1 && type != 2 && type != 5) {
                return Corrupt("directory entry " + Num(id) + " has unknown type " + Num(type));
            }
            const std::uint16_t nameBytes = LoadLE16(raw + 0x40);
            if (nameBytes < 2 || nameBytes > 64 || nameBytes % 2 != 0) {
                return Corrupt("directory entry " + Num(id) + " has an invalid name length " +
                               Num(nameBytes));
            }
            entry.type = static_cast<EntryType>(type);
            entry.nameLength = static_cast<std::uint8_t>(nameBytes / 2 - 1);
            entry.nameOffset = static_cast<std::uint32_t>(names_.size());
            bool ascii = true;
            for (std::uint32_t c = 0; c < entry.nameLength; ++c) {
                ascii = ascii && raw[2 * c] < 0x80 && raw[2 * c + 1] == 0;
            }
            entry.wideName = !ascii;
            if (ascii) {
                names_.resize(names_.size() + entry.nameLength);
                char* name = names_.data() + entry.nameOffset;
                for (std::uint32_t c = 0; c < entry.nameLength; ++c) {
                    name[c] = static_cast<char>(raw[2 * c]);
                }
            } else {
                names_.insert(names_.end(), raw, raw + 2 * std::size_t{entry.nameLength});
            }
            // Version-3 writers may leave garbage in the high half of the size.
            const std::uint64_t size =
                sectorSize_ == 512 ? LoadLE32(raw + 0x78) : LoadLE64(raw + 0x78);
            if (entry.type == EntryType::kStream) {
                entry.stream = {LoadLE32(raw + 0x74), static_cast<std::uint32_t>(size),
                                static_cast<std::uint32_t>(size >> 32)};
                continue;  // streams have no class
            }
            entry.storage = {0, 0, 0};
            if (entry.type == EntryType::kRoot) {
                miniStreamStart_ = LoadLE32(raw + 0x74);
                miniStreamSize_ = size;
            }
            std::array<std::uint8_t, 16> clsid;
            std::memcpy(clsid.data(), raw + 0x50, clsid.size());
            // Neighbouring storages often share a class, and some have none: both are answered
            // without hashing.
            if (clsid == classIds_[lastClass]) {
                entry.storage.classIndex = lastClass;
            } else if (clsid == classIds_.front()) {
                entry.storage.classIndex = 0;
            } else {
                const auto [known, added] =
                    classIndex.try_emplace(clsid, static_cast<std::uint32_t>(classIds_.size()));
                if (added) {
                    classIds_.push_back(clsid);
                }
                entry.storage.classIndex = lastClass = known->second;
            }
        }
    }
    if (entries_[0].type != EntryType::kRoot) {
        return Corrupt("the first directory entry is not the root entry");
    }
    return {};
}

Status CompoundFile::ReadMiniStream() {
    if (miniStreamSize_ > 0) {
        if (miniStreamSize_ > static_cast<std::uint64_t>(sectorCount_) * sectorSize_) {
            return Corrupt("the mini stream is larger (" + Num(miniStreamSize_) +
                           " bytes) than the file");
        }
        Status status =
            ReadChain(fat_, miniStreamStart_, sectorCount_, "mini stream", miniStreamSectors_);
        if (!status.ok()) {
            return status;
        }
        const std::uint64_t needed = UnitsFor(miniStreamSize_, sectorSize_);
        if (miniStreamSectors_.size() < needed) {
            return Corrupt("the mini stream's chain has " + Num(miniStreamSectors_.size()) +
                           " sectors, its size needs " + Num(needed));
        }
    }
    if (firstMiniFatSector_ <= kMaxRegularSector) {
        std::vector<std::uint32_t> chain;
        Status status = ReadChain(fat_, firstMiniFatSector_, sectorCount_, "MiniFAT", chain);
        if (!status.ok()) {
            return status;
        }
        const std::uint32_t perSector = sectorSize_ / 4;
        tableSectors_.insert(tableSectors_.end(), chain.begin(), chain.end());
        miniFat_.resize(chain.size() * perSector);
        for (std::size_t s = 0; s < chain.size(); ++s) {
            const std::uint8_t* data = SectorData(chain[s]);
            for (std::uint32_t j = 0; j < perSector; ++j) {
                miniFat_[s * perSector + j] = LoadLE32(data + 4 * j);
            }
        }
    }
    return {};
}

bool CompoundFile::StreamFits(std::uint64_t size) const {
    if (size < kMiniStreamCutoff) {
        const std::uint64_t miniSectors = UnitsFor(miniStreamSize_, kMiniSectorSize);
        return UnitsFor(size, kMiniSectorSize) <= miniSectors;
    }
    return UnitsFor(size, sectorSize_) <= sectorCount_;
}

// A stream that claims more than the file can hold makes the file corrupt, whether or not the
// stream is ever read.
Status CompoundFile::CheckStreamSizes() const {
    for (EntryId id = 0; id < EntryCount(); ++id) {
        if (IsStream(id) && !StreamFits(StreamSize(id))) {
            return Corrupt("stream \"" + Name(id) + "\" claims " + Num(StreamSize(id)) +
                           " bytes, larger than the space that can hold it");
        }
    }
    return {};
}

Status CompoundFile::CollectChildren() {
    const std::uint32_t count = EntryCount();
    std::vector<bool> placed(count, false);
    placed[0] = true;
    children_.reserve(count);
    std::vector<EntryId> storages{kRoot};
    std::vector<EntryId> stack;
    for (std::size_t next = 0; next < storages.size(); ++next) {
        const EntryId storage = storages[next];
        Entry& parent = entries_[storage];
        parent.storage.childBegin = static_cast<std::uint32_t>(children_.size());
        // In-order walk with an explicit stack: sibling trees can be long chains.
        EntryId current = links_[storage].child;
        stack.clear();
        while (current != kNoEntry || !stack.empty()) {
            while (current != kNoEntry) {
                if (current >= count) {
                    return Corrupt("a sibling link under \"" + Name(storage) +
                                   "\" points to entry " + Hex(current) +
                                   ", outside the directory's " + Num(count) + " entries");
                }
                if (placed[current]) {
                    return Corrupt("the sibling tree under \"" + Name(storage) +
                                   "\" loops or shares entry " + Num(current));
                }
                const EntryType type = entries_[current].type;
                if (type != EntryType::kStorage && type != EntryType::kStream) {
                    return Corrupt("the sibling tree under \"" + Name(storage) +
                                   "\" reaches entry " + Num(current) +
                                   ", which is not a storage or stream");
                }
                placed[current] = true;
                stack.push_back(current);
                current = links_[current].left;
            }
            current = stack.back();
            stack.pop_back();
            children_.push_back(current);
            if (entries_[current].type == EntryType::kStorage) {
                storages.push_back(current);
            }
            current = links_[current].right;
        }
        parent.storage.childCount =
            static_cast<std::uint32_t>(children_.size()) - parent.storage.childBegin;
    }
    std::vector<Links>().swap(links_);
    return {};
}

char16_t CompoundFile::NameUnit(const Entry& entry, std::size_t i) const {
    const char* name = names_.data() + entry.nameOffset;
    if (entry.wideName) {
        return static_cast<char16_t>(LoadLE16(reinterpret_cast<const std::uint8_t*>(name) + 2 * i));
    }
    return static_cast<char16_t>(name[i]);
}

CompoundFile::EntryName CompoundFile::Name16(EntryId id) const {
    const Entry& entry = entries_[id];
    EntryName name;
    name.length_ = entry.nameLength;
    for (std::size_t i = 0; i < name.length_; ++i) {
        name.units_[i] = NameUnit(entry, i);
    }
    return name;
}

std::string CompoundFile::Name(EntryId id) const {
    const EntryName units = Name16(id);
    std::string name;
    for (char16_t unit : units.View()) {
        // Names in AAF files are ASCII; anything else is shown as '?' here (diagnostics only).
        name += unit < 0x80 ? static_cast<char>(unit) : '?';
    }
    return name;
}

bool CompoundFile::NameEquals(const Entry& entry, std::u16string_view name) const {
    if (entry.nameLength != name.size()) {
        return false;
    }
    if (!entry.wideName) {
        const char* units = names_.data() + entry.nameOffset;
        for (std::size_t i = 0; i < name.size(); ++i) {
            if (static_cast<char16_t>(units[i]) != name[i]) {
                return false;
            }
        }
        return true;
    }
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (NameUnit(entry, i) != name[i]) {
            return false;
        }
    }
    return true;
}

// The order of a storage's sibling tree: shorter names first, names of one length by their code
// units with a-z read as A-Z. (Writers fold other letters too; a name that makes the tree look
// unordered to us only costs a sorted copy of that storage's children.)
namespace {

template <typename UnitsA, typename UnitsB>
bool NamesInOrder(std::size_t lengthA, UnitsA a, std::size_t lengthB, UnitsB b) {
    if (lengthA != lengthB) {
        return lengthA < lengthB;
    }
    for (std::size_t i = 0; i < lengthA; ++i) {
        const char16_t x = UpperAscii(a(i));
        const char16_t y = UpperAscii(b(i));
        if (x != y) {
            return x < y;
        }
    }
    return false;
}

}  // namespace

bool CompoundFile::NameBefore(const Entry& a, const Entry& b) const {
    return NamesInOrder(
        a.nameLength, [&](std::size_t i) { return NameUnit(a, i); }, b.nameLength,
        [&](std::size_t i) { return NameUnit(b, i); });
}

bool CompoundFile::NameBefore(const Entry& a, std::u16string_view b) const {
    return NamesInOrder(
        a.nameLength, [&](std::size_t i) { return NameUnit(a, i); }, b.size(),
        [&](std::size_t i) { return b[i]; });
}

bool CompoundFile::NameBefore(std::u16string_view a, const Entry& b) const {
    return NamesInOrder(
        a.size(), [&](std::size_t i) { return a[i]; }, b.nameLength,
        [&](std::size_t i) { return NameUnit(b, i); });
}

std::span<const CompoundFile::EntryId> CompoundFile::Children(EntryId storage) const {
    if (!IsStorage(storage)) {
        return {};
    }
    const Entry& entry = entries_[storage];
    return {children_.data() + entry.storage.childBegin, entry.storage.childCount};
}

std::span<const CompoundFile::EntryId> CompoundFile::ChildrenInNameOrder(Entry& storage) const {
    auto byName = [this](EntryId a, EntryId b) { return NameBefore(entries_[a], entries_[b]); };
    const std::uint32_t begin = storage.storage.childBegin;
    const std::uint32_t count = storage.storage.childCount;
    std::span<const EntryId> children(children_.data() + begin, count);
    if (storage.childOrder == ChildOrder::kUnchecked) {
        // The walk that collected the children visited a well-formed tree in name order already.
        if (std::is_sorted(children.begin(), children.end(), byName)) {
            storage.childOrder = ChildOrder::kInTree;
        } else {
            if (sortedChildren_.empty()) {
                sortedChildren_.resize(children_.size());
            }
            auto target = sortedChildren_.begin() + begin;
            std::copy(children.begin(), children.end(), target);
            std::sort(target, target + count, byName);
            storage.childOrder = ChildOrder::kSortedCopy;
        }
    }
    if (storage.childOrder == ChildOrder::kSortedCopy) {
        return {sortedChildren_.data() + begin, count};
    }
    return children;
}

CompoundFile::EntryId CompoundFile::FindChild(EntryId storage, std::u16string_view name) const {
    if (storage >= entries_.size() || !IsStorage(storage)) {
        return kNoEntry;
    }
    Entry& entry = entries_[storage];
    if (entry.storage.childCount <= kLinearSearchLimit) {
        for (EntryId child : Children(storage)) {
            if (NameEquals(entries_[child], name)) {
                return child;
            }
        }
        return kNoEntry;
    }
    const std::span<const EntryId> sorted = ChildrenInNameOrder(entry);
    auto found = std::lower_bound(
        sorted.begin(), sorted.end(), name,
        [this](EntryId a, std::u16string_view n) { return NameBefore(entries_[a], n); });
    // Names that differ only in letter case sit side by side in this order.
    for (; found != sorted.end() && !NameBefore(name, entries_[*found]); ++found) {
        if (NameEquals(entries_[*found], name)) {
            return *found;
        }
    }
    return kNoEntry;
}

CompoundFile::EntryId CompoundFile::FindChild(EntryId storage, std::string_view asciiName) const {
    std::u16string name(asciiName.begin(), asciiName.end());
    return FindChild(storage, std::u16string_view(name));
}

Status CompoundFile::ReadStream(EntryId id, std::span<const std::uint8_t>& out) const {
    if (id >= entries_.size() || !IsStream(id)) {
        return Corrupt("entry " + Num(id) + " is not a stream");
    }
    const std::uint64_t size = StreamSize(id);
    if (size == 0) {
        out = {};
        return {};
    }
    const bool mini = size < kMiniStreamCutoff;
    const std::uint32_t unit = mini ? kMiniSectorSize : sectorSize_;
    const std::vector<std::uint32_t>& table = mini ? miniFat_ : fat_;
    const std::uint64_t limit = mini ? UnitsFor(miniStreamSize_, kMiniSectorSize) : sectorCount_;
    const std::uint64_t units = UnitsFor(size, unit);
    if (!StreamFits(size)) {
        return Corrupt("stream \"" + Name(id) + "\" is larger (" + Num(size) +
                       " bytes) than the space that can hold it");
    }
    // Where unit `m` of the chain lies in the file.
    auto offsetOf = [&](std::uint32_t m) -> std::uint64_t {
        if (!mini) {
            return (static_cast<std::uint64_t>(m) + 1) << sectorShift_;
        }
        const std::uint64_t inMini = static_cast<std::uint64_t>(m) * kMiniSectorSize;
        const std::uint32_t sector = miniStreamSectors_[inMini >> sectorShift_];
        return ((static_cast<std::uint64_t>(sector) + 1) << sectorShift_) +
               (inMini & (sectorSize_ - 1));
    };
    // First pass: check the chain and see whether its pieces lie side by side in the file.
    // A chain that comes back to a sector it has used is damaged: mark the units seen (a small
    // stream has at most 64 of them; a list is cheaper than a bit per sector of the file).
    std::vector<bool> seenSectors;
    std::uint32_t seenMini[kMiniStreamCutoff / kMiniSectorSize];
    if (!mini) {
        seenSectors.assign(sectorCount_, false);
    }
    bool contiguous = true;
    std::uint64_t firstOffset = 0;
    std::uint32_t current = StartSector(id);
    for (std::uint64_t i = 0; i < units; ++i) {
        if (current >= limit || current >= table.size()) {
            return Corrupt("the chain of stream \"" + Name(id) + "\" reaches " +
                           (mini ? "mini sector " : "sector ") + Hex(current) + ", outside the " +
                           Num(limit) + " present");
        }
        const bool repeated = mini ? std::find(seenMini, seenMini + i, current) != seenMini + i
                                   : seenSectors[current];
        if (repeated) {
            return Corrupt("the chain of stream \"" + Name(id) + "\" loops");
        }
        if (mini) {
            seenMini[i] = current;
        } else {
            seenSectors[current] = true;
        }
        const std::uint64_t offset = offsetOf(current);
        if (i == 0) {
            firstOffset = offset;
        } else if (offset != firstOffset + i * unit) {
            contiguous = false;
        }
        current = table[current];
        if (i + 1 < units && current > kMaxRegularSector) {
            return Corrupt("the chain of stream \"" + Name(id) + "\" ends after " + Num(i + 1) +
                           " of " + Num(units) + (mini ? " mini sectors" : " sectors"));
        }
    }
    if (contiguous) {
        out = bytes_.subspan(static_cast<std::size_t>(firstOffset), static_cast<std::size_t>(size));
        return {};
    }
    // Scattered: copied once. A copy claims its (mini) sectors, so that streams sharing sectors
    // cannot make copies add up to more than the file.
    if (auto copied = copies_.find(id); copied != copies_.end()) {
        out = copied->second;
        return {};
    }
    std::vector<bool>& claimed = mini ? copiedMiniSectors_ : copiedSectors_;
    claimed.resize(static_cast<std::size_t>(limit), false);
    current = StartSector(id);
    for (std::uint64_t i = 0; i < units; ++i, current = table[current]) {
        if (claimed[current]) {
            // Give back what this stream claimed: only the earlier copies hold sectors.
            std::uint32_t back = StartSector(id);
            for (std::uint64_t k = 0; k < i; ++k, back = table[back]) {
                claimed[back] = false;
            }
            return Corrupt("stream \"" + Name(id) + "\" uses " +
                           (mini ? "mini sector " : "sector ") + Hex(current) +
                           ", which another stream uses");
        }
        claimed[current] = true;
    }
    std::vector<std::uint8_t>& copy = copies_[id];
    copy.resize(static_cast<std::size_t>(size));
    current = StartSector(id);
    for (std::uint64_t i = 0; i < units; ++i) {
        const std::uint64_t done = i * unit;
        const std::uint64_t piece = std::min<std::uint64_t>(unit, size - done);
        std::memcpy(copy.data() + done, bytes_.data() + offsetOf(current),
                    static_cast<std::size_t>(piece));
        current = table[current];
    }
    out = copy;
    return {};
}

Status CompoundFile::ReadStream(EntryId id, std::vector<std::uint8_t>& out) const {
    std::span<const std::uint8_t> view;
    Status status = ReadStream(id, view);
    if (!status.ok()) {
        return status;
    }
    out.assign(view.begin(), view.end());
    return {};
}

}  // namespace tessel::aaf
