#pragma once

#include <cstdint>
#include <memory>
#include <memory_resource>
#include <span>
#include <string>
#include <vector>

#include "aaf/aaf_interfaces.h"
#include "aaf/aaf_types.h"
#include "aaf/byte_order.h"
#include "aaf/class_id.h"
#include "aaf/compound_file.h"
#include "aaf/property_ids.h"
#include "aaf/status.h"

namespace tessel::aaf {

class AafFile;

/// Stored forms of property values (how a value is found, not its type).
enum StoredForm : std::uint16_t {
    kFormData = 0x82,
    kFormStrongReference = 0x22,
    kFormStrongVector = 0x32,
    kFormStrongSet = 0x3A,
    kFormWeakReference = 0x02,
};

/// One AAF object: the storage that holds it and its `properties` stream, decoded on demand.
/// The file keeps each object it has read (AafFile::LoadObject), and a NodePtr to it shares
/// ownership of the file. Definitions the file lacks but the SDK has built in (data definitions,
/// types) are "synthetic" nodes with only an AUID and a name; they keep their file alive
/// themselves.
class ObjectNode {
  public:
    /// Ends a node made in its file's arena (the arena keeps the memory until the file goes).
    struct ArenaDelete {
        void operator()(ObjectNode* node) const { node->~ObjectNode(); }
    };
    using ArenaPtr = std::unique_ptr<ObjectNode, ArenaDelete>;

    /// Reads the object stored in `entry`: its class (AAFRESULT_UNKNOWN_CLASS when neither the
    /// baseline model nor the file's MetaDictionary knows it) and its property table
    /// (AAFRESULT_CORRUPT_OBJECT when malformed). The node lives in the file's arena; use
    /// AafFile::LoadObject, which keeps it.
    static Status Read(const AafFile& file, CompoundFile::EntryId entry, ArenaPtr& out);
    /// The root storage: not an AAF object (no AAF class), but stored like one.
    static Status LoadRoot(std::shared_ptr<const AafFile> file, NodePtr& out);
    static NodePtr MakeSynthetic(std::shared_ptr<const AafFile> file, ClassId cls,
                                 const aafUID_t& id, std::string name);

    ObjectNode(const AafFile& file, CompoundFile::EntryId entry);
    ObjectNode(const ObjectNode&) = delete;
    ObjectNode& operator=(const ObjectNode&) = delete;
    ~ObjectNode();

    const AafFile& File() const { return *file_; }
    std::shared_ptr<const AafFile> FilePtr() const;
    CompoundFile::EntryId Entry() const { return entry_; }
    bool IsSynthetic() const { return entry_ == CompoundFile::kNoEntry; }
    /// The effective (baseline) class.
    ClassId Class() const { return class_; }
    /// The class the object was stored as (may be an extension class).
    aafUID_t StoredClass() const;
    /// The AUID and name of a synthetic node (only for those).
    const aafUID_t& SyntheticId() const { return detached_->id; }
    const std::string& SyntheticName() const { return detached_->name; }
    ByteOrder Order() const { return order_; }

    bool Has(pid::Pid pid) const;
    /// The value bytes and stored form of property `pid`; false if the object has no such property.
    bool Find(pid::Pid pid, std::span<const std::uint8_t>& value, std::uint16_t& form) const;
    /// Pids of all stored properties, in stored order.
    std::vector<pid::Pid> Pids() const;
    /// How many properties are stored; with PropertyAt, a walk over them that allocates nothing.
    std::size_t PropertyCount() const { return IsSynthetic() ? 0 : propertyCount_; }
    /// The pid, stored form and value bytes of property `index` (below PropertyCount), in stored
    /// order.
    void PropertyAt(std::size_t index, pid::Pid& pid, std::uint16_t& form,
                    std::span<const std::uint8_t>& value) const;

    // Typed values (stored form SF_DATA). AAFRESULT_PROP_NOT_PRESENT when absent,
    // AAFRESULT_CORRUPT_OBJECT when the stored size does not fit the type.
    AAFRESULT ReadUInt8(pid::Pid pid, aafUInt8& value) const;
    AAFRESULT ReadUInt16(pid::Pid pid, aafUInt16& value) const;
    AAFRESULT ReadUInt32(pid::Pid pid, aafUInt32& value) const;
    AAFRESULT ReadInt64(pid::Pid pid, aafInt64& value) const;
    AAFRESULT ReadRational(pid::Pid pid, aafRational_t& value) const;
    AAFRESULT ReadAUID(pid::Pid pid, aafUID_t& value) const;
    AAFRESULT ReadMobID(pid::Pid pid, aafMobID_t& value) const;
    AAFRESULT ReadString(pid::Pid pid, std::string& value) const;
    AAFRESULT ReadBytes(pid::Pid pid, std::span<const std::uint8_t>& value) const;

    /// The object a strong reference points to.
    AAFRESULT ReadStrongRef(pid::Pid pid, NodePtr& out) const;
    /// The key (an AUID) of a weak reference.
    AAFRESULT ReadWeakRefKey(pid::Pid pid, aafUID_t& key) const;

    /// Elements of a strong-reference vector or set; 0 when the property is absent.
    AAFRESULT CountElements(pid::Pid pid, aafUInt32& count) const;
    /// Element `index` in index order; AAFRESULT_BADINDEX when out of range or absent.
    AAFRESULT ReadElement(pid::Pid pid, aafUInt32 index, NodePtr& out) const;
    /// The unique key of set element `index` (its bytes as stored), for sets only.
    AAFRESULT ReadSetKey(pid::Pid pid, aafUInt32 index, std::span<const std::uint8_t>& key) const;
    /// The local key of element `index` (the suffix of its storage name).
    AAFRESULT ReadLocalKey(pid::Pid pid, aafUInt32 index, std::uint32_t& localKey) const;
    /// The stored name of a collection (the prefix of its element storages' names).
    AAFRESULT ReadCollectionName(pid::Pid pid, std::u16string& name) const;
    /// Loads the element of collection `pid` whose storage has `localKey`.
    AAFRESULT LoadElementByKey(pid::Pid pid, std::uint32_t localKey, NodePtr& out) const;

  private:
    struct Collection {
        pid::Pid pid = 0;
        std::uint16_t form = 0;
        // Both valid while the container lives: the stored name (UTF-16 in the object's byte
        // order; see CollectionName) and the index stream.
        std::span<const std::uint8_t> storedName;
        std::span<const std::uint8_t> index;
        std::uint32_t count = 0;
        std::uint32_t keySize = 0;  // sets only
        // The element storages in index order (kNoEntry where one is missing); found on first use.
        std::pmr::vector<CompoundFile::EntryId> storages;
    };

    Status Parse();
    AAFRESULT ReadFixed(pid::Pid pid, std::size_t size, std::span<const std::uint8_t>& value) const;
    AAFRESULT GetCollection(pid::Pid pid, Collection*& out) const;
    std::uint32_t LocalKeyAt(const Collection& collection, std::uint32_t index) const;
    void FindElementStorages(Collection& collection) const;
    std::u16string CollectionName(const Collection& collection) const;

    // What this node's lookups have found: its collections, and where its strong references
    // lead. Made in the file's arena on first use; many nodes never need it.
    struct Lookups {
        explicit Lookups(std::pmr::memory_resource* arena)
            : collections(arena), strongReferences(arena) {}
        std::pmr::vector<Collection> collections;
        std::pmr::vector<std::pair<pid::Pid, CompoundFile::EntryId>> strongReferences;
    };
    Lookups& GetLookups() const;

    // Ordered to pack: a long edit has hundreds of thousands of nodes.
    const AafFile* file_;
    CompoundFile::EntryId entry_;
    ClassId class_ = ClassId::kNone;
    ByteOrder order_;
    std::uint16_t propertyCount_ = 0;
    std::span<const std::uint8_t> properties_;  // valid while the container lives
    mutable Lookups* lookups_ = nullptr;
    // Kept apart: only the root and synthetic nodes keep their file alive themselves (the file
    // keeps every other node), and only synthetic ones have an id and name of their own.
    struct Detached {
        std::shared_ptr<const AafFile> file;
        aafUID_t id{};
        std::string name;
    };
    std::unique_ptr<const Detached> detached_;
};

/// An AUID from 16 bytes stored in byte order `order`.
aafUID_t DecodeAUID(const std::uint8_t* bytes, ByteOrder order);
/// A CLSID (always the little-endian GUID layout) as an AUID.
aafUID_t ClassIdToAUID(const std::array<std::uint8_t, 16>& clsid);
aafMobID_t DecodeMobID(const std::uint8_t* bytes, ByteOrder order);
/// The 32 bytes by which the SDK orders mob ids (little-endian in-memory layout).
std::array<std::uint8_t, 32> MobIDKey(const aafMobID_t& id);
std::array<std::uint8_t, 16> UIDKey(const aafUID_t& id);
/// The storage name of a collection element: `collection{hex key}`.
std::u16string ElementName(std::u16string_view collection, std::uint32_t localKey);

}  // namespace tessel::aaf
