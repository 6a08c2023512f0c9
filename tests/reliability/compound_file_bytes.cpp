#include "compound_file_bytes.h"

#include <algorithm>
#include <stdexcept>

namespace tessel::reliability {

namespace {

constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kEntrySize = 128;

}  // namespace

CompoundFileBytes::CompoundFileBytes(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}

std::uint16_t CompoundFileBytes::U16(std::uint64_t at) const {
    return static_cast<std::uint16_t>(bytes_.at(at) | bytes_.at(at + 1) << 8);
}

std::uint32_t CompoundFileBytes::U32(std::uint64_t at) const {
    return static_cast<std::uint32_t>(bytes_.at(at)) |
           static_cast<std::uint32_t>(bytes_.at(at + 1)) << 8 |
           static_cast<std::uint32_t>(bytes_.at(at + 2)) << 16 |
           static_cast<std::uint32_t>(bytes_.at(at + 3)) << 24;
}

void CompoundFileBytes::SetU32(std::uint64_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes_.at(at + static_cast<std::uint64_t>(i)) = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

std::uint32_t CompoundFileBytes::SectorSize() const {
    return 1u << U16(0x1E);
}

std::uint64_t CompoundFileBytes::SectorOffset(std::uint32_t sector) const {
    return (static_cast<std::uint64_t>(sector) + 1) * SectorSize();
}

std::uint64_t CompoundFileBytes::FatEntryOffset(std::uint32_t sector) const {
    const std::uint32_t perSector = SectorSize() / 4;
    const std::uint32_t fatIndex = sector / perSector;
    if (fatIndex >= 109) {
        throw std::runtime_error("test files keep their FAT in the header's DIFAT");
    }
    const std::uint32_t fatSector = U32(0x4C + 4 * static_cast<std::uint64_t>(fatIndex));
    return SectorOffset(fatSector) + 4 * static_cast<std::uint64_t>(sector % perSector);
}

std::uint32_t CompoundFileBytes::Fat(std::uint32_t sector) const {
    return U32(FatEntryOffset(sector));
}

void CompoundFileBytes::SetFat(std::uint32_t sector, std::uint32_t next) {
    SetU32(FatEntryOffset(sector), next);
}

std::uint64_t CompoundFileBytes::EntryOffset(std::uint32_t id) const {
    const std::uint32_t perSector = SectorSize() / kEntrySize;
    std::uint32_t sector = U32(0x30);
    for (std::uint32_t i = 0; i < id / perSector; ++i) {
        sector = Fat(sector);
    }
    return SectorOffset(sector) + kEntrySize * static_cast<std::uint64_t>(id % perSector);
}

std::vector<CompoundFileBytes::Entry> CompoundFileBytes::Entries() const {
    std::vector<Entry> entries;
    const std::uint32_t perSector = SectorSize() / kEntrySize;
    std::uint32_t id = 0;
    for (std::uint32_t sector = U32(0x30); sector != kEndOfChain; sector = Fat(sector)) {
        for (std::uint32_t k = 0; k < perSector; ++k, ++id) {
            const std::uint64_t at =
                SectorOffset(sector) + kEntrySize * static_cast<std::uint64_t>(k);
            Entry entry;
            entry.id = id;
            entry.type = bytes_.at(at + 0x42);
            if (entry.type == 0) {
                continue;
            }
            const std::uint32_t nameBytes = U16(at + 0x40);
            for (std::uint32_t c = 0; c + 2 < nameBytes; c += 2) {
                entry.name += static_cast<char16_t>(U16(at + c));
            }
            entry.start = U32(at + 0x74);
            entry.size = U32(at + 0x78);
            entries.push_back(entry);
        }
    }
    return entries;
}

CompoundFileBytes::Entry CompoundFileBytes::LargestStream() const {
    const std::vector<Entry> entries = Entries();
    Entry largest;
    for (const Entry& entry : entries) {
        if (entry.type == 2 && entry.size > largest.size) {
            largest = entry;
        }
    }
    return largest;
}

void CompoundFileBytes::SetStreamSize(std::uint32_t id, std::uint64_t size) {
    SetU32(EntryOffset(id) + 0x78, static_cast<std::uint32_t>(size));
    SetU32(EntryOffset(id) + 0x7C, static_cast<std::uint32_t>(size >> 32));
}

void CompoundFileBytes::ScatterStream(std::uint32_t id) {
    const std::uint64_t at = EntryOffset(id);
    const std::uint32_t first = U32(at + 0x74);
    const std::uint32_t second = Fat(first);
    const std::uint32_t third = Fat(second);
    if (second == kEndOfChain || third == kEndOfChain) {
        throw std::runtime_error("the stream has fewer than three sectors");
    }
    // first -> third -> second -> rest, with the contents of second and third exchanged.
    const std::uint32_t rest = Fat(third);
    const auto size = static_cast<std::ptrdiff_t>(SectorSize());
    std::swap_ranges(bytes_.begin() + static_cast<std::ptrdiff_t>(SectorOffset(second)),
                     bytes_.begin() + static_cast<std::ptrdiff_t>(SectorOffset(second)) + size,
                     bytes_.begin() + static_cast<std::ptrdiff_t>(SectorOffset(third)));
    SetFat(first, third);
    SetFat(third, second);
    SetFat(second, rest);
}

}  // namespace tessel::reliability
