#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tessel::reliability {

/// The bytes of a compound file with just enough of its structure understood to damage it on
/// purpose: the directory, and the FAT chains of streams in regular sectors. Test files only
/// (at most 109 FAT sectors; no checks beyond what the tests need).
class CompoundFileBytes {
  public:
    struct Entry {
        std::uint32_t id = 0;
        std::u16string name;
        std::uint8_t type = 0;  ///< 1 storage, 2 stream, 5 root
        std::uint32_t start = 0;
        std::uint64_t size = 0;
    };

    explicit CompoundFileBytes(std::vector<std::uint8_t> bytes);

    std::vector<Entry> Entries() const;
    /// The largest stream (its size decides whether it lies in regular sectors: 4096 and up).
    Entry LargestStream() const;
    void SetStreamSize(std::uint32_t id, std::uint64_t size);
    /// Reorders the sectors of a stream in regular sectors (it needs three or more): its pieces
    /// stay where the chain says, but no longer side by side in the file.
    void ScatterStream(std::uint32_t id);

    const std::vector<std::uint8_t>& bytes() const { return bytes_; }

  private:
    std::uint32_t SectorSize() const;
    std::uint64_t SectorOffset(std::uint32_t sector) const;
    std::uint32_t Fat(std::uint32_t sector) const;
    void SetFat(std::uint32_t sector, std::uint32_t next);
    std::uint64_t FatEntryOffset(std::uint32_t sector) const;
    std::uint64_t EntryOffset(std::uint32_t id) const;
    std::uint16_t U16(std::uint64_t at) const;
    std::uint32_t U32(std::uint64_t at) const;
    void SetU32(std::uint64_t at, std::uint32_t value);

    std::vector<std::uint8_t> bytes_;
};

}  // namespace tessel::reliability
