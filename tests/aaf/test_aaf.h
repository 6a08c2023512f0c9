#pragma once

// Small AAF files built in memory for tests: objects are storages with a class id and a
// `properties` stream given byte by byte, so the worked examples' bytes can be used as they are.

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "aaf/AAF.h"
#include "aaf/aaf_file.h"
#include "aaf/class_table.h"

namespace tessel::aaf::test {

using Bytes = std::vector<std::uint8_t>;

/// "4c 20 02 00" → {0x4c, 0x20, 0x02, 0x00}; whitespace and line breaks are ignored.
Bytes Hex(std::string_view text);
/// UTF-16LE with a NUL terminator.
Bytes Utf16z(std::u16string_view text);
/// An AUID as stored in a little-endian file.
Bytes AuidBytes(const aafUID_t& id);
Bytes U16(std::uint16_t value);
Bytes U32(std::uint32_t value);
Bytes I64(std::int64_t value);

struct Property {
    std::uint16_t pid;
    std::uint16_t form;
    Bytes value;
};
/// A little-endian `properties` stream holding `properties` in this order.
Bytes PropertiesStream(const std::vector<Property>& properties);
/// A strong-reference-vector index: count, next free key, 0xFFFFFFFF, the keys.
Bytes VectorIndex(const std::vector<std::uint32_t>& keys);
/// A weak reference to a DataDefinitions entry (tag 2, key pid 0x1B01).
Bytes WeakRef(const aafUID_t& key, std::uint16_t tag = 2, std::uint16_t keyPid = 0x1B01);

/// A storage of the file to build: an object when it has a class and properties.
struct Storage {
    std::array<std::uint8_t, 16> clsid{};
    std::map<std::string, Storage> storages;
    std::map<std::string, Bytes> streams;

    /// A child object with class `cls` and the given `properties` stream.
    Storage& Object(const std::string& name, const aafUID_t& cls, Bytes properties);
};

/// CLSID bytes of a class AUID.
std::array<std::uint8_t, 16> Clsid(const aafUID_t& id);

/// A minimal AAF file: root, MetaDictionary-1 (empty), Header-2 with Content-3b03 whose Mobs set
/// is filled by AddMob, and Dictionary-3b04. Objects are added under the returned storages.
class TestAaf {
  public:
    TestAaf();
    Storage& Root() { return root_; }
    Storage& Header() { return root_.storages["Header-2"]; }
    Storage& MetaDictionary() { return root_.storages["MetaDictionary-1"]; }
    /// Adds a mob of class `cls` with `properties` (which should hold its MobID) under key
    /// `localKey`; the set index is written by Bytes().
    Storage& AddMob(std::uint32_t localKey, const aafMobID_t& id, const aafUID_t& cls,
                    Bytes properties);
    void SetHeaderProperties(Bytes properties) { headerProperties_ = std::move(properties); }

    /// The whole file (sector size 512 or 4096).
    std::string FileBytes(std::uint32_t sectorSize = 512) const;
    /// Opens the file in memory.
    std::shared_ptr<AafFile> Open(std::uint32_t sectorSize = 512) const;

  private:
    Storage root_;
    Bytes headerProperties_;
    std::vector<std::pair<std::uint32_t, aafMobID_t>> mobs_;
};

/// A mob id whose material Data1 is `n` (others fixed), for tests.
aafMobID_t TestMobID(std::uint32_t n);
/// Mob id bytes as stored in a little-endian file.
Bytes MobIDBytes(const aafMobID_t& id);

/// Writes a compound file with these storages (no AAF signature unless `aafSignature`).
std::string CompoundFileBytes(const Storage& root, std::uint32_t sectorSize, bool aafSignature);

/// The AUID of a built-in class.
const aafUID_t& ClassAuid(ClassId cls);

/// The header of an open file, as the API hands it out.
std::shared_ptr<IAAFHeader> HeaderOf(const std::shared_ptr<AafFile>& file);

}  // namespace tessel::aaf::test
