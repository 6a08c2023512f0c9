#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tessel::cfb {

/// A class id exactly as its 16 bytes are stored in a directory entry.
using Clsid = std::array<std::uint8_t, 16>;

/// Outcome of writing a compound file: empty message means success.
struct WriteStatus {
    std::string message;
    bool ok() const { return message.empty(); }
};

/// Builds a Microsoft compound file (version 3 with 512-byte sectors or version 4 with 4096-byte
/// sectors) in memory and writes it in one pass. Entries are added as a tree of storages and
/// streams; the layout (FAT, DIFAT, directory, MiniFAT, mini stream, large streams) is decided only
/// when the file is written, so adding is cheap even for hundreds of thousands of entries.
class CompoundFileWriter {
  public:
    using EntryId = std::uint32_t;
    static constexpr EntryId kRootId = 0;

    /// `sectorSize` must be 512 or 4096; anything else is reported by `Write`.
    explicit CompoundFileWriter(std::uint32_t sectorSize = 512);

    std::uint32_t sectorSize() const { return sectorSize_; }

    /// The 16 bytes at header offset 8 (MS-CFB wants zero there; AAF puts its file signature).
    void SetHeaderClsid(const Clsid& clsid) { headerClsid_ = clsid; }
    void SetRootClsid(const Clsid& clsid);

    /// Adds a storage under `parent` (a storage or the root). Bad names or parents are recorded and
    /// reported by `Write`; the returned id is still usable so that callers need not check each
    /// add.
    EntryId AddStorage(EntryId parent, std::string_view utf8Name, const Clsid& clsid = {});
    EntryId AddStream(EntryId parent, std::string_view utf8Name, std::vector<std::uint8_t> data);

    std::size_t entryCount() const { return entries_.size(); }

    /// Writes the file to `path` through a temporary file in the same folder, so a failure never
    /// leaves a half-written file in place of an existing one.
    WriteStatus Write(const std::string& path) const;

    /// The whole file as bytes (for tests and small files); empty with `status` set on failure.
    std::vector<std::uint8_t> ToBytes(WriteStatus* status = nullptr) const;

  private:
    // Names live in one shared pool and children are found from `parent` when writing, so that
    // an entry costs no allocation beyond its stream data.
    struct Entry {
        EntryId parent = 0;
        std::uint32_t nameOffset = 0;
        std::uint8_t nameLength = 0;  // UTF-16 code units
        std::uint8_t type = 0;        // 1 storage, 2 stream, 5 root
        Clsid clsid{};
        std::vector<std::uint8_t> data;
    };
    using Sink = std::function<bool(const std::uint8_t*, std::size_t)>;

    EntryId Add(EntryId parent, std::string_view utf8Name, std::uint8_t type);
    void Fail(std::string message) const;
    bool Emit(const Sink& sink) const;

    std::uint32_t sectorSize_;
    Clsid headerClsid_{};
    std::u16string_view Name(const Entry& e) const {
        return {names_.data() + e.nameOffset, e.nameLength};
    }

    std::vector<Entry> entries_;
    std::vector<char16_t> names_;
    mutable std::string error_;
};

}  // namespace tessel::cfb
