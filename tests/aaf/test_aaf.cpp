#include "test_aaf.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <functional>
#include <stdexcept>

#include "aaf/class_table.h"
#include "aaf/compound_file_writer.h"
#include "aaf/object_node.h"

namespace tessel::aaf::test {

namespace {

constexpr std::array<std::uint8_t, 16> kRootClsid = {
    0xa5, 0x98, 0xb3, 0xb3, 0x90, 0x1c, 0xd4, 0x11, 0x80, 0x53, 0x08, 0x00, 0x36, 0x21, 0x08, 0x04};
constexpr std::array<std::uint8_t, 16> kAafSignature512 = {
    0x41, 0x41, 0x46, 0x42, 0x0d, 0x00, 0x4f, 0x4d, 0x06, 0x0e, 0x2b, 0x34, 0x01, 0x01, 0x01, 0xff};
constexpr std::array<std::uint8_t, 16> kAafSignature4096 = {
    0x01, 0x02, 0x01, 0x0d, 0x00, 0x02, 0x00, 0x00, 0x06, 0x0e, 0x2b, 0x34, 0x03, 0x02, 0x01, 0x01};

void Append(Bytes& out, const Bytes& more) {
    out.insert(out.end(), more.begin(), more.end());
}

}  // namespace

Bytes Hex(std::string_view text) {
    Bytes bytes;
    int high = -1;
    for (char c : text) {
        if (std::isxdigit(static_cast<unsigned char>(c)) == 0) {
            continue;
        }
        const int digit = std::isdigit(static_cast<unsigned char>(c)) != 0
                              ? c - '0'
                              : std::tolower(static_cast<unsigned char>(c)) - 'a' + 10;
        if (high < 0) {
            high = digit;
        } else {
            bytes.push_back(static_cast<std::uint8_t>(high * 16 + digit));
            high = -1;
        }
    }
    return bytes;
}

Bytes Utf16z(std::u16string_view text) {
    Bytes bytes;
    for (char16_t unit : text) {
        bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    bytes.push_back(0);
    bytes.push_back(0);
    return bytes;
}

Bytes U16(std::uint16_t value) {
    return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8)};
}

Bytes U32(std::uint32_t value) {
    Bytes bytes;
    for (int i = 0; i < 4; ++i) {
        bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
    return bytes;
}

Bytes I64(std::int64_t value) {
    Bytes bytes;
    const auto bits = static_cast<std::uint64_t>(value);
    for (int i = 0; i < 8; ++i) {
        bytes.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
    }
    return bytes;
}

Bytes AuidBytes(const aafUID_t& id) {
    Bytes bytes = U32(id.Data1);
    Append(bytes, U16(id.Data2));
    Append(bytes, U16(id.Data3));
    bytes.insert(bytes.end(), id.Data4, id.Data4 + 8);
    return bytes;
}

std::array<std::uint8_t, 16> Clsid(const aafUID_t& id) {
    std::array<std::uint8_t, 16> clsid{};
    const Bytes bytes = AuidBytes(id);
    std::memcpy(clsid.data(), bytes.data(), 16);
    return clsid;
}

Bytes PropertiesStream(const std::vector<Property>& properties) {
    Bytes bytes = {0x4c, 0x20};
    Append(bytes, U16(static_cast<std::uint16_t>(properties.size())));
    for (const Property& property : properties) {
        Append(bytes, U16(property.pid));
        Append(bytes, U16(property.form));
        Append(bytes, U16(static_cast<std::uint16_t>(property.value.size())));
    }
    for (const Property& property : properties) {
        Append(bytes, property.value);
    }
    return bytes;
}

Bytes VectorIndex(const std::vector<std::uint32_t>& keys) {
    Bytes bytes = U32(static_cast<std::uint32_t>(keys.size()));
    Append(bytes, U32(static_cast<std::uint32_t>(keys.size())));
    Append(bytes, U32(0xFFFFFFFF));
    for (std::uint32_t key : keys) {
        Append(bytes, U32(key));
    }
    return bytes;
}

Bytes WeakRef(const aafUID_t& key, std::uint16_t tag, std::uint16_t keyPid) {
    Bytes bytes = U16(tag);
    Append(bytes, U16(keyPid));
    bytes.push_back(16);
    Append(bytes, AuidBytes(key));
    return bytes;
}

Storage& Storage::Object(const std::string& name, const aafUID_t& cls, Bytes properties) {
    Storage& child = storages[name];
    child.clsid = Clsid(cls);
    child.streams["properties"] = std::move(properties);
    return child;
}

aafMobID_t TestMobID(std::uint32_t n) {
    aafMobID_t id{};
    const std::uint8_t label[12] = {0x06, 0x0a, 0x2b, 0x34, 0x01, 0x01,
                                    0x01, 0x01, 0x01, 0x01, 0x0f, 0x00};
    std::memcpy(id.SMPTELabel, label, 12);
    id.length = 0x13;
    id.material = {n, 0x1234, 0x5678, {0x06, 0x0e, 0x2b, 0x34, 0x7f, 0x7f, 0x2a, 0x80}};
    return id;
}

Bytes MobIDBytes(const aafMobID_t& id) {
    Bytes bytes(id.SMPTELabel, id.SMPTELabel + 12);
    bytes.push_back(id.length);
    bytes.push_back(id.instanceHigh);
    bytes.push_back(id.instanceMid);
    bytes.push_back(id.instanceLow);
    Append(bytes, AuidBytes(id.material));
    return bytes;
}

TestAaf::TestAaf() {
    root_.clsid = kRootClsid;
    root_.streams["properties"] = PropertiesStream(
        {{0x0001, 0x22, Utf16z(u"MetaDictionary-1")}, {0x0002, 0x22, Utf16z(u"Header-2")}});
    root_.Object("MetaDictionary-1", GetClassInfo(ClassId::kMetaDictionary).auid,
                 PropertiesStream({}));
    Storage& header = root_.Object("Header-2", GetClassInfo(ClassId::kHeader).auid, {});
    header.Object("Content-3b03", GetClassInfo(ClassId::kContentStorage).auid,
                  PropertiesStream({{0x1901, 0x3A, Utf16z(u"Mobs-1901")}}));
    header.Object("Dictionary-3b04", GetClassInfo(ClassId::kDictionary).auid, PropertiesStream({}));
    headerProperties_ = PropertiesStream({{0x3B01, 0x82, U16(0x4949)},
                                          {0x3B03, 0x22, Utf16z(u"Content-3b03")},
                                          {0x3B04, 0x22, Utf16z(u"Dictionary-3b04")}});
}

Storage& TestAaf::AddMob(std::uint32_t localKey, const aafMobID_t& id, const aafUID_t& cls,
                         Bytes properties) {
    mobs_.emplace_back(localKey, id);
    std::string hex;
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%x", localKey);
    return Header().storages["Content-3b03"].Object("Mobs-1901{" + std::string(buffer) + "}", cls,
                                                    std::move(properties));
}

std::string CompoundFileBytes(const Storage& root, std::uint32_t sectorSize, bool aafSignature) {
    cfb::CompoundFileWriter writer(sectorSize);
    if (aafSignature) {
        writer.SetHeaderClsid(sectorSize == 512 ? kAafSignature512 : kAafSignature4096);
    }
    writer.SetRootClsid(root.clsid);
    std::function<void(cfb::CompoundFileWriter::EntryId, const Storage&)> add =
        [&](cfb::CompoundFileWriter::EntryId parent, const Storage& storage) {
            for (const auto& [name, data] : storage.streams) {
                writer.AddStream(parent, name, data);
            }
            for (const auto& [name, child] : storage.storages) {
                add(writer.AddStorage(parent, name, child.clsid), child);
            }
        };
    add(cfb::CompoundFileWriter::kRootId, root);
    cfb::WriteStatus status;
    const std::vector<std::uint8_t> bytes = writer.ToBytes(&status);
    if (!status.ok()) {
        throw std::runtime_error(status.message);
    }
    return {bytes.begin(), bytes.end()};
}

std::string TestAaf::FileBytes(std::uint32_t sectorSize) const {
    Storage root = root_;
    Storage& header = root.storages["Header-2"];
    header.streams["properties"] = headerProperties_;
    // The Mobs set index: key pid 0x4401, key size 32, entries in the order they were added.
    Bytes index = U32(static_cast<std::uint32_t>(mobs_.size()));
    Append(index, U32(static_cast<std::uint32_t>(mobs_.size())));
    Append(index, U32(0xFFFFFFFF));
    Append(index, U16(0x4401));
    index.push_back(32);
    for (const auto& [key, id] : mobs_) {
        Append(index, U32(key));
        Append(index, U32(1));
        Append(index, MobIDBytes(id));
    }
    header.storages["Content-3b03"].streams["Mobs-1901 index"] = index;
    return CompoundFileBytes(root, sectorSize, true);
}

std::shared_ptr<AafFile> TestAaf::Open(std::uint32_t sectorSize) const {
    std::shared_ptr<AafFile> file;
    Status status = AafFile::Open(FileData::FromBytes(FileBytes(sectorSize)), file);
    if (!status.ok()) {
        throw std::runtime_error(status.Message());
    }
    return file;
}

const aafUID_t& ClassAuid(ClassId cls) {
    return GetClassInfo(cls).auid;
}

std::shared_ptr<IAAFHeader> HeaderOf(const std::shared_ptr<AafFile>& file) {
    NodePtr node;
    EXPECT_TRUE(file->LoadHeader(node).ok());
    return std::make_shared<IAAFHeader>(node);
}

}  // namespace tessel::aaf::test
