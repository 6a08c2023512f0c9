#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <memory_resource>
#include <string>
#include <unordered_map>
#include <vector>

#include "aaf/aaf_interfaces.h"
#include "aaf/class_id.h"
#include "aaf/compound_file.h"
#include "aaf/file_data.h"
#include "aaf/object_node.h"
#include "aaf/property_ids.h"
#include "aaf/status.h"
#include "platform/arena.h"

namespace tessel::aaf {

/// An open AAF file: the container, the entry points (Header, MetaDictionary) and the indexes
/// built on first use (mobs by id, definitions by AUID, extension classes). Nothing else is
/// decoded when the file opens. Objects are read as ObjectNodes.
class AafFile : public std::enable_shared_from_this<AafFile> {
  public:
    /// Opens the file at `utf8Path` (see FileData::Open for file-system failures).
    static Status Open(const std::string& utf8Path, std::shared_ptr<AafFile>& out);
    /// Opens a file already in memory. AAFRESULT_NOT_AAF_FILE when the compound file lacks the
    /// AAF signature or a Header object.
    static Status Open(std::shared_ptr<const FileData> data, std::shared_ptr<AafFile>& out);

    const CompoundFile& Container() const { return *container_; }
    /// Gives the pages of a mapped file back to the system; see FileData::ReleasePages.
    void ReleaseResidentPages() const { data_->ReleasePages(data_->Bytes()); }
    /// Where the file's objects and their lookup tables live: freed all at once with the file.
    std::pmr::memory_resource& Arena() const { return arena_; }

    /// The Header object (always present in an open file).
    Status LoadHeader(NodePtr& out) const;
    /// The object stored in `entry` (see ObjectNode::Read). Each object is read once and kept
    /// while the file lives, as the SDK keeps the objects it has loaded; `out` shares ownership
    /// of the file. A failure is not kept: the next call reads the object again.
    Status LoadObject(CompoundFile::EntryId entry, NodePtr& out) const;

    /// The effective baseline class and the stored class AUID of a storage's CLSID.
    /// AAFRESULT_UNKNOWN_CLASS when neither the baseline model nor the MetaDictionary resolves it.
    Status ResolveClass(const std::array<std::uint8_t, 16>& clsid, ClassId& cls,
                        aafUID_t& auid) const;
    /// The same for the class of storage `entry`, answered from the container's class index
    /// once known (every object read asks).
    Status ResolveClass(CompoundFile::EntryId entry, ClassId& cls) const;
    /// The name of a class: the baseline name, or the MetaDictionary's; empty if unknown.
    std::string ClassName(const aafUID_t& auid) const;
    /// The parent of a class (baseline or extension); false for roots and unknown classes.
    bool ClassParent(const aafUID_t& auid, aafUID_t& parent) const;

    /// One mob of ContentStorage.Mobs in the SDK's enumeration order.
    struct MobEntry {
        std::array<std::uint8_t, 32> key;  // the MobID as the SDK orders it
        std::uint32_t localKey;
        CompoundFile::EntryId storage;  // kNoEntry when the mob's storage is missing
    };
    /// Every mob, in ascending MobID order (duplicates dropped, the first kept).
    Status Mobs(const std::vector<MobEntry>*& out) const;
    AAFRESULT LoadMob(const MobEntry& mob, NodePtr& out) const;
    /// The effective class of a mob without decoding it.
    AAFRESULT MobClass(const MobEntry& mob, ClassId& cls) const;
    AAFRESULT LookupMob(const aafMobID_t& id, NodePtr& out) const;

    /// The definition with `id` in the Dictionary set `setPid` (DataDefinitions ...).
    /// AAFRESULT_OBJECT_NOT_FOUND when the set does not hold it.
    AAFRESULT LookupDefinition(pid::Pid setPid, const aafUID_t& id, NodePtr& out) const;
    /// The TypeDefinition with `id` from the MetaDictionary; AAFRESULT_OBJECT_NOT_FOUND if absent.
    AAFRESULT LookupTypeDefinition(const aafUID_t& id, NodePtr& out) const;

  private:
    /// A collection of objects, by the storage that owns it and its stored name. (The file keeps
    /// no nodes: they keep the file alive.)
    struct CollectionRef {
        CompoundFile::EntryId owner = CompoundFile::kNoEntry;
        std::u16string name;
    };
    struct Definitions {
        CollectionRef set;
        std::vector<std::pair<std::array<std::uint8_t, 16>, std::uint32_t>> byKey;  // sorted
    };
    struct ExtensionClass {
        aafUID_t parent;
        std::string name;
    };
    struct MobKeyHash {
        std::size_t operator()(const std::array<std::uint8_t, 32>& key) const;
    };

    AafFile(std::shared_ptr<const FileData> data, std::unique_ptr<CompoundFile> container);
    Status Initialise();
    Status LoadRootReference(pid::Pid pid, CompoundFile::EntryId& entry) const;
    Status LoadExtensionClasses() const;
    AAFRESULT GetDefinitions(bool meta, pid::Pid setPid, const Definitions*& out) const;
    AAFRESULT LoadElement(const CollectionRef& collection, std::uint32_t localKey,
                          NodePtr& out) const;

    std::shared_ptr<const FileData> data_;
    std::unique_ptr<CompoundFile> container_;
    CompoundFile::EntryId header_ = CompoundFile::kNoEntry;
    CompoundFile::EntryId metaDictionary_ = CompoundFile::kNoEntry;

    mutable std::unordered_map<std::array<std::uint8_t, 16>, std::pair<ClassId, aafUID_t>,
                               CompoundFile::ClassIdHash>
        classCache_;
    // By the container's class index; kNone until resolved.
    mutable std::vector<ClassId> classByIndex_;
    mutable bool extensionsLoaded_ = false;
    mutable Status extensionsStatus_;
    mutable std::map<std::array<std::uint8_t, 16>, ExtensionClass> extensions_;

    mutable bool mobsLoaded_ = false;
    mutable Status mobsStatus_;
    mutable CollectionRef mobSet_;
    mutable std::vector<MobEntry> mobs_;
    // Position in `mobs_` by MobID (clip items look mobs up by id again and again): an open-
    // addressing table, a power of two in size, holding position + 1, 0 where empty. A third of
    // the memory of a node map and one cache miss fewer per lookup.
    mutable std::vector<std::uint32_t> mobSlots_;

    mutable std::map<std::pair<bool, pid::Pid>, Definitions> definitions_;

    // Declared before what it holds, so that it goes last.
    mutable platform::Arena arena_;
    mutable std::pmr::vector<ObjectNode::ArenaPtr> objects_;  // by entry; null until read
    // Objects read since the file's pages were last given back (a few megabytes of the file).
    static constexpr std::uint32_t kObjectsBetweenReleases = 32768;
    mutable std::uint32_t objectsSinceRelease_ = 0;
};

}  // namespace tessel::aaf
