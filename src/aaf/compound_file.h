#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <memory_resource>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "aaf/file_data.h"
#include "aaf/status.h"

namespace tessel::aaf {

/// A Microsoft compound file (structured storage), read-only. Opening reads the header, the FAT,
/// the MiniFAT and the whole directory, and collects every storage's children; every sector
/// number, chain, size and tree link is checked, so a damaged file is refused with a description
/// instead of being read wrongly. Streams are read on demand. Work and memory are linear in the
/// file's size. Not thread-safe (child lookups build their index lazily).
class CompoundFile {
  public:
    using EntryId = std::uint32_t;
    static constexpr EntryId kNoEntry = 0xFFFFFFFF;
    static constexpr EntryId kRoot = 0;

    enum class EntryType : std::uint8_t { kUnused = 0, kStorage = 1, kStream = 2, kRoot = 5 };

    /// A hash of the 16 CLSID bytes of an entry, for tables keyed by them.
    struct ClassIdHash {
        std::size_t operator()(const std::array<std::uint8_t, 16>& id) const;
    };

    /// Checks and indexes `data`. AAFRESULT_NOT_COMPOUND_FILE when the signature is missing,
    /// AAFRESULT_CORRUPT_CONTAINER when a structure is damaged or cut short.
    static Status Open(std::shared_ptr<const FileData> data, std::unique_ptr<CompoundFile>& out);

    std::uint32_t SectorSize() const { return sectorSize_; }
    /// The 16 bytes at header offset 8 (MS-CFB's header CLSID; AAF writes its signature there).
    std::array<std::uint8_t, 16> HeaderClassId() const;

    std::uint32_t EntryCount() const { return static_cast<std::uint32_t>(entries_.size()); }
    EntryType Type(EntryId id) const { return entries_[id].type; }
    bool IsStorage(EntryId id) const {
        return entries_[id].type == EntryType::kStorage || entries_[id].type == EntryType::kRoot;
    }
    bool IsStream(EntryId id) const { return entries_[id].type == EntryType::kStream; }
    /// The entry's name as UTF-16 code units. Names are kept in one byte a unit where they
    /// can be, so this is a copy: keep it, not a view of it, beyond the expression.
    class EntryName {
      public:
        operator std::u16string_view() const { return {units_.data(), length_}; }
        std::u16string_view View() const { return *this; }

      private:
        friend class CompoundFile;
        std::array<char16_t, 31> units_{};
        std::size_t length_ = 0;
    };
    EntryName Name16(EntryId id) const;
    std::string Name(EntryId id) const;
    /// The 16 CLSID bytes of the entry as stored (the AAF class of an object's storage).
    std::array<std::uint8_t, 16> ClassIdBytes(EntryId id) const;
    /// Which of the file's distinct CLSIDs the entry has (below ClassCount; 0 is all zero), so
    /// that what depends on the class can be kept per class instead of per entry.
    std::uint32_t ClassIndex(EntryId id) const {
        return IsStorage(id) ? entries_[id].storage.classIndex : 0;
    }
    std::uint32_t ClassCount() const { return static_cast<std::uint32_t>(classIds_.size()); }
    std::uint64_t StreamSize(EntryId id) const;

    /// The children of a storage (storages and streams), in no particular order.
    std::span<const EntryId> Children(EntryId storage) const;
    /// The child of `storage` named exactly `name`, or kNoEntry.
    EntryId FindChild(EntryId storage, std::u16string_view name) const;
    EntryId FindChild(EntryId storage, std::string_view asciiName) const;

    /// The bytes of stream `id`, valid while the container lives. The view points into the file
    /// when the stream's pieces lie side by side there, else into a copy made on first use and
    /// kept. No two copies share a sector, so all copies together never hold more than the file,
    /// however often a stream is read. AAFRESULT_CORRUPT_CONTAINER when its chain is broken,
    /// loops, or uses sectors of a stream copied before.
    Status ReadStream(EntryId id, std::span<const std::uint8_t>& out) const;
    /// The same, always as an owned copy.
    Status ReadStream(EntryId id, std::vector<std::uint8_t>& out) const;

  private:
    /// Whether a storage's children can be binary-searched, and where.
    enum class ChildOrder : std::uint8_t {
        kUnchecked,   // not looked at yet
        kInTree,      // `children_` already holds them in name order
        kSortedCopy,  // `sortedChildren_` holds them in name order
    };

    /// What the reader keeps of a directory entry (20 bytes: a long edit has hundreds of
    /// thousands). The directory's own sectors are given back once the file is open (they are
    /// most of a long edit's file), so everything read later is copied here.
    struct StreamPlace {
        std::uint32_t start;
        std::uint32_t sizeLow;
        std::uint32_t sizeHigh;
    };
    struct StorageContents {
        std::uint32_t classIndex;  // in `classIds_`; 0 is all zero
        std::uint32_t childBegin;  // in `children_`
        std::uint32_t childCount;
    };
    struct Entry {
        // Which one is known from `type`; the root's own stream (the mini stream) is kept apart.
        union {
            StreamPlace stream{};
            StorageContents storage;
        };
        std::uint32_t nameOffset = 0;  // in `names_`
        std::uint8_t nameLength = 0;   // code units, without the terminator
        bool wideName = false;         // two bytes a unit (UTF-16LE), else one (all ASCII)
        EntryType type = EntryType::kUnused;
        ChildOrder childOrder = ChildOrder::kUnchecked;
    };
    explicit CompoundFile(std::shared_ptr<const FileData> data);

    Status ReadHeader();
    Status ReadFat();
    Status ReadChain(const std::vector<std::uint32_t>& table, std::uint32_t start,
                     std::uint64_t limit, const char* what, std::vector<std::uint32_t>& out) const;
    Status ReadDirectory();
    Status ReadMiniStream();
    Status CheckStreamSizes() const;
    Status CollectChildren();
    /// Whether a stream of `size` bytes fits in the space its kind of sectors has.
    bool StreamFits(std::uint64_t size) const;
    const std::uint8_t* SectorData(std::uint32_t sector) const;
    std::uint32_t StartSector(EntryId id) const { return entries_[id].stream.start; }
    /// Code unit `i` of an entry's name.
    char16_t NameUnit(const Entry& entry, std::size_t i) const;
    bool NameEquals(const Entry& entry, std::u16string_view name) const;
    /// The order of a storage's sibling tree (see compound_file.cpp).
    bool NameBefore(const Entry& a, const Entry& b) const;
    bool NameBefore(const Entry& a, std::u16string_view b) const;
    bool NameBefore(std::u16string_view a, const Entry& b) const;
    /// Gives the pages of the sectors in `sectors` back to the system (see FileData).
    void ReleaseSectors(const std::vector<std::uint32_t>& sectors) const;
    /// The children of `storage` in name order (see NameBefore), ordered on first use.
    std::span<const EntryId> ChildrenInNameOrder(Entry& storage) const;

    std::shared_ptr<const FileData> data_;
    std::span<const std::uint8_t> bytes_;
    std::uint32_t sectorShift_ = 9;
    std::uint32_t sectorSize_ = 512;
    std::uint32_t sectorCount_ = 0;  // whole sectors present in the file after the header
    std::uint32_t fatSectorCount_ = 0;
    std::uint32_t firstDirectorySector_ = 0;
    std::uint32_t firstMiniFatSector_ = 0;
    std::uint32_t firstDifatSector_ = 0;
    std::uint32_t difatSectorCount_ = 0;
    std::vector<std::uint32_t> fat_;
    std::vector<std::uint32_t> miniFat_;
    std::vector<std::uint32_t> miniStreamSectors_;  // the mini stream's FAT chain
    std::uint32_t miniStreamStart_ = 0;
    std::uint64_t miniStreamSize_ = 0;
    std::vector<std::uint32_t> directorySectors_;  // the directory's chain, while it is read
    // Each entry's left, right and child links, while the tree is walked: a walk that jumps
    // about the directory's own sectors misses the cache at almost every step.
    struct Links {
        std::uint32_t left;
        std::uint32_t right;
        std::uint32_t child;
    };
    std::vector<Links> links_;
    std::vector<std::uint32_t> tableSectors_;  // FAT, DIFAT and MiniFAT sectors (copied)
    mutable std::pmr::vector<Entry> entries_;
    // Every entry's name, back to back: one byte a unit where all are ASCII, else UTF-16LE.
    std::pmr::vector<char> names_;
    std::vector<std::array<std::uint8_t, 16>> classIds_;  // the distinct CLSIDs, zero first
    std::pmr::vector<EntryId> children_;
    // Per storage whose sibling tree was out of order, its children in name order.
    mutable std::vector<EntryId> sortedChildren_;
    // Streams whose pieces are scattered, copied once; and the sectors and mini sectors those
    // copies hold.
    mutable std::unordered_map<EntryId, std::vector<std::uint8_t>> copies_;
    mutable std::vector<bool> copiedSectors_;
    mutable std::vector<bool> copiedMiniSectors_;
};

}  // namespace tessel::aaf
