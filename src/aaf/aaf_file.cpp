#include "aaf/aaf_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "aaf/class_table.h"
#include "aaf/object_node.h"
#include "platform/memory.h"

namespace tessel::aaf {

namespace {

// The arena starts small for short edits and doubles as a long one fills it.
constexpr std::size_t kInitialArenaBytes = std::size_t{256} << 10;

// What AAF writes at header offset 8, for files with 512-byte and with 4096-byte sectors.
constexpr std::array<std::uint8_t, 16> kAafSignature512 = {
    0x41, 0x41, 0x46, 0x42, 0x0d, 0x00, 0x4f, 0x4d, 0x06, 0x0e, 0x2b, 0x34, 0x01, 0x01, 0x01, 0xff};
constexpr std::array<std::uint8_t, 16> kAafSignature4096 = {
    0x01, 0x02, 0x01, 0x0d, 0x00, 0x02, 0x00, 0x00, 0x06, 0x0e, 0x2b, 0x34, 0x03, 0x02, 0x01, 0x01};

std::string UIDText(const aafUID_t& id) {
    char text[48];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", id.Data1,
                  id.Data2, id.Data3, id.Data4[0], id.Data4[1], id.Data4[2], id.Data4[3],
                  id.Data4[4], id.Data4[5], id.Data4[6], id.Data4[7]);
    return text;
}

Status NotAaf(std::string detail) {
    return Status::Error(AAFRESULT_NOT_AAF_FILE, std::move(detail));
}

}  // namespace

std::size_t AafFile::MobKeyHash::operator()(const std::array<std::uint8_t, 32>& key) const {
    std::uint64_t hash = 0;
    for (std::size_t i = 0; i < key.size(); i += 8) {
        std::uint64_t part = 0;
        std::memcpy(&part, key.data() + i, 8);
        hash = (hash ^ part) * 0x9E3779B97F4A7C15ull;
    }
    return static_cast<std::size_t>(hash ^ (hash >> 32));
}

AafFile::AafFile(std::shared_ptr<const FileData> data, std::unique_ptr<CompoundFile> container)
    : data_(std::move(data)),
      container_(std::move(container)),
      classByIndex_(container_->ClassCount(), ClassId::kNone),
      arena_(kInitialArenaBytes),
      objects_(&arena_) {}

Status AafFile::Open(const std::string& utf8Path, std::shared_ptr<AafFile>& out) {
    std::shared_ptr<const FileData> data;
    Status status = FileData::Open(utf8Path, data);
    if (!status.ok()) {
        return status;
    }
    return Open(std::move(data), out);
}

Status AafFile::Open(std::shared_ptr<const FileData> data, std::shared_ptr<AafFile>& out) {
    std::unique_ptr<CompoundFile> container;
    Status status = CompoundFile::Open(data, container);
    if (!status.ok()) {
        return status;
    }
    const auto signature = container->HeaderClassId();
    if (signature != kAafSignature512 && signature != kAafSignature4096) {
        return NotAaf("the compound file does not carry the AAF file signature");
    }
    std::shared_ptr<AafFile> file(new AafFile(std::move(data), std::move(container)));
    status = file->Initialise();
    if (!status.ok()) {
        return status;
    }
    out = std::move(file);
    return {};
}

Status AafFile::LoadRootReference(pid::Pid pid, CompoundFile::EntryId& entry) const {
    NodePtr root;
    Status status = ObjectNode::LoadRoot(shared_from_this(), root);
    if (!status.ok()) {
        return NotAaf("the root storage has no readable properties stream");
    }
    std::span<const std::uint8_t> value;
    std::uint16_t form = 0;
    if (!root->Find(pid, value, form) || form != kFormStrongReference) {
        return NotAaf("the root storage does not reference a " +
                      std::string(pid == pid::kRootHeader ? "Header" : "MetaDictionary") +
                      " object");
    }
    std::u16string name;
    for (std::size_t i = 0; i + 1 < value.size(); i += 2) {
        const auto unit = static_cast<char16_t>(root->Order().U16(value.data() + i));
        if (unit == 0) {
            break;
        }
        name += unit;
    }
    entry = container_->FindChild(CompoundFile::kRoot, name);
    if (entry == CompoundFile::kNoEntry || !container_->IsStorage(entry)) {
        return NotAaf("the root storage's object reference leads nowhere");
    }
    return {};
}

Status AafFile::Initialise() {
    Status status = LoadRootReference(pid::kRootHeader, header_);
    if (!status.ok()) {
        return status;
    }
    if (ClassIdToAUID(container_->ClassIdBytes(header_)) != GetClassInfo(ClassId::kHeader).auid) {
        return NotAaf("the object the root calls its header is not of class Header");
    }
    if (!LoadRootReference(pid::kRootMetaDictionary, metaDictionary_).ok()) {
        metaDictionary_ = CompoundFile::kNoEntry;  // only needed for extension classes
    }
    NodePtr header;
    return LoadHeader(header);
}

Status AafFile::LoadHeader(NodePtr& out) const {
    return LoadObject(header_, out);
}

Status AafFile::LoadObject(CompoundFile::EntryId entry, NodePtr& out) const {
    if (objects_.empty()) {
        objects_.resize(container_->EntryCount());
    }
    if (entry >= objects_.size()) {
        return Status::Error(AAFRESULT_CORRUPT_OBJECT, "a reference does not lead to a storage");
    }
    if (!objects_[entry]) {
        ObjectNode::ArenaPtr node;
        Status status = ObjectNode::Read(*this, entry, node);
        if (!status.ok()) {
            return status;
        }
        // Reading may have read this object too (an extension class's definition resolving
        // its own class): keep the first, which others may already point to.
        if (!objects_[entry]) {
            objects_[entry] = std::move(node);
        }
        // An object's bytes are read once: what a long edit has read so far need not stay
        // resident beside the model (the file would otherwise be as big as the model again).
        if (++objectsSinceRelease_ == kObjectsBetweenReleases) {
            objectsSinceRelease_ = 0;
            ReleaseResidentPages();
        }
    }
    out = NodePtr(shared_from_this(), objects_[entry].get());
    return {};
}

Status AafFile::LoadExtensionClasses() const {
    extensionsLoaded_ = true;  // set first: loading the definitions resolves classes too
    if (metaDictionary_ == CompoundFile::kNoEntry) {
        return {};
    }
    NodePtr meta;
    Status status = LoadObject(metaDictionary_, meta);
    if (!status.ok()) {
        return status;
    }
    aafUInt32 count = 0;
    if (AAFRESULT_FAILED(meta->CountElements(pid::kClassDefinitions, count))) {
        return Status::Error(AAFRESULT_CORRUPT_OBJECT,
                             "the MetaDictionary's class definitions cannot be read");
    }
    for (aafUInt32 i = 0; i < count; ++i) {
        NodePtr definition;
        aafUID_t id{};
        aafUID_t parent{};
        // A damaged definition only matters if an object uses its class; skip it here.
        if (AAFRESULT_FAILED(meta->ReadElement(pid::kClassDefinitions, i, definition)) ||
            AAFRESULT_FAILED(definition->ReadAUID(pid::kMetaIdentification, id)) ||
            AAFRESULT_FAILED(definition->ReadWeakRefKey(pid::kParentClass, parent))) {
            continue;
        }
        ExtensionClass extension{parent, {}};
        definition->ReadString(pid::kMetaName, extension.name);
        extensions_.emplace(UIDKey(id), std::move(extension));
    }
    return {};
}

Status AafFile::ResolveClass(const std::array<std::uint8_t, 16>& clsid, ClassId& cls,
                             aafUID_t& auid) const {
    auto cached = classCache_.find(clsid);
    if (cached != classCache_.end()) {
        cls = cached->second.first;
        auid = cached->second.second;
        return {};
    }
    auid = ClassIdToAUID(clsid);
    cls = FindBaselineClass(auid);
    if (cls == ClassId::kNone) {
        if (!extensionsLoaded_) {
            extensionsStatus_ = LoadExtensionClasses();
        }
        if (!extensionsStatus_.ok()) {
            return extensionsStatus_;
        }
        // Follow ParentClass to the first baseline class; a chain longer than the number of
        // classes is a loop.
        aafUID_t current = auid;
        for (std::size_t step = 0; step <= extensions_.size() && cls == ClassId::kNone; ++step) {
            auto found = extensions_.find(UIDKey(current));
            if (found == extensions_.end()) {
                break;
            }
            current = found->second.parent;
            cls = FindBaselineClass(current);
        }
        if (cls == ClassId::kNone) {
            return Status::Error(
                AAFRESULT_UNKNOWN_CLASS,
                "class " + UIDText(auid) + " is neither a baseline class nor defined in the file");
        }
    }
    classCache_.emplace(clsid, std::make_pair(cls, auid));
    return {};
}

Status AafFile::ResolveClass(CompoundFile::EntryId entry, ClassId& cls) const {
    const std::uint32_t index = container_->ClassIndex(entry);
    if (classByIndex_[index] != ClassId::kNone) {
        cls = classByIndex_[index];
        return {};
    }
    aafUID_t auid{};
    Status status = ResolveClass(container_->ClassIdBytes(entry), cls, auid);
    if (status.ok()) {
        classByIndex_[index] = cls;
    }
    return status;
}

std::string AafFile::ClassName(const aafUID_t& auid) const {
    const ClassId cls = FindBaselineClass(auid);
    if (cls != ClassId::kNone) {
        return std::string(GetClassInfo(cls).name);
    }
    if (!extensionsLoaded_) {
        extensionsStatus_ = LoadExtensionClasses();
    }
    auto found = extensions_.find(UIDKey(auid));
    return found != extensions_.end() ? found->second.name : std::string();
}

bool AafFile::ClassParent(const aafUID_t& auid, aafUID_t& parent) const {
    const ClassId cls = FindBaselineClass(auid);
    if (cls != ClassId::kNone) {
        const ClassId parentClass = GetClassInfo(cls).parent;
        if (parentClass == ClassId::kNone) {
            return false;
        }
        parent = GetClassInfo(parentClass).auid;
        return true;
    }
    if (!extensionsLoaded_) {
        extensionsStatus_ = LoadExtensionClasses();
    }
    auto found = extensions_.find(UIDKey(auid));
    if (found == extensions_.end()) {
        return false;
    }
    parent = found->second.parent;
    return true;
}

Status AafFile::Mobs(const std::vector<MobEntry>*& out) const {
    if (!mobsLoaded_) {
        mobsLoaded_ = true;
        mobsStatus_ = [this]() -> Status {
            NodePtr header;
            NodePtr content;
            Status status = LoadHeader(header);
            if (!status.ok()) {
                return status;
            }
            const AAFRESULT contentResult = header->ReadStrongRef(pid::kContent, content);
            if (contentResult == AAFRESULT_PROP_NOT_PRESENT) {
                return {};  // no content: no mobs
            }
            if (AAFRESULT_FAILED(contentResult)) {
                return Status::Error(contentResult, "the header's content storage cannot be read");
            }
            aafUInt32 count = 0;
            const AAFRESULT countResult = content->CountElements(pid::kMobs, count);
            if (AAFRESULT_FAILED(countResult) || count == 0) {
                return AAFRESULT_FAILED(countResult)
                           ? Status::Error(countResult, "the index of the mobs cannot be read")
                           : Status();
            }
            mobSet_.owner = content->Entry();
            content->ReadCollectionName(pid::kMobs, mobSet_.name);
            mobs_.reserve(count);
            for (aafUInt32 i = 0; i < count; ++i) {
                std::span<const std::uint8_t> key;
                MobEntry entry{};
                if (AAFRESULT_FAILED(content->ReadSetKey(pid::kMobs, i, key)) || key.size() != 32 ||
                    AAFRESULT_FAILED(content->ReadLocalKey(pid::kMobs, i, entry.localKey))) {
                    mobs_.clear();
                    return Status::Error(AAFRESULT_CORRUPT_OBJECT,
                                         "the index of the mobs is damaged");
                }
                entry.key = MobIDKey(DecodeMobID(key.data(), content->Order()));
                // Found once here: a lookup by name in a storage of many mobs is not cheap.
                entry.storage =
                    container_->FindChild(mobSet_.owner, ElementName(mobSet_.name, entry.localKey));
                mobs_.push_back(entry);
            }
            // The SDK keeps mobs in a tree ordered by MobID; with a duplicate id the first wins.
            std::stable_sort(mobs_.begin(), mobs_.end(),
                             [](const MobEntry& a, const MobEntry& b) { return a.key < b.key; });
            mobs_.erase(
                std::unique(mobs_.begin(), mobs_.end(),
                            [](const MobEntry& a, const MobEntry& b) { return a.key == b.key; }),
                mobs_.end());
            // At most half full; the ids are unique by now.
            std::size_t slots = 2;
            while (slots < 2 * mobs_.size()) {
                slots *= 2;
            }
            mobSlots_.assign(slots, 0);
            for (std::size_t i = 0; i < mobs_.size(); ++i) {
                std::size_t slot = MobKeyHash{}(mobs_[i].key) & (slots - 1);
                while (mobSlots_[slot] != 0) {
                    slot = (slot + 1) & (slots - 1);
                }
                mobSlots_[slot] = static_cast<std::uint32_t>(i + 1);
            }
            return {};
        }();
    }
    out = &mobs_;
    return mobsStatus_;
}

AAFRESULT AafFile::LoadElement(const CollectionRef& collection, std::uint32_t localKey,
                               NodePtr& out) const {
    const CompoundFile::EntryId child =
        container_->FindChild(collection.owner, ElementName(collection.name, localKey));
    if (child == CompoundFile::kNoEntry) {
        return AAFRESULT_CORRUPT_OBJECT;
    }
    return LoadObject(child, out).code();
}

AAFRESULT AafFile::LoadMob(const MobEntry& mob, NodePtr& out) const {
    if (mob.storage == CompoundFile::kNoEntry) {
        return AAFRESULT_CORRUPT_OBJECT;
    }
    return LoadObject(mob.storage, out).code();
}

AAFRESULT AafFile::MobClass(const MobEntry& mob, ClassId& cls) const {
    if (mob.storage == CompoundFile::kNoEntry || !container_->IsStorage(mob.storage)) {
        return AAFRESULT_CORRUPT_OBJECT;
    }
    return ResolveClass(mob.storage, cls).code();
}

AAFRESULT AafFile::LookupMob(const aafMobID_t& id, NodePtr& out) const {
    const std::vector<MobEntry>* mobs = nullptr;
    Status status = Mobs(mobs);
    if (!status.ok()) {
        return status.code();
    }
    if (mobSlots_.empty()) {
        return AAFRESULT_MOB_NOT_FOUND;
    }
    const auto key = MobIDKey(id);
    const std::size_t mask = mobSlots_.size() - 1;
    for (std::size_t slot = MobKeyHash{}(key)&mask; mobSlots_[slot] != 0;
         slot = (slot + 1) & mask) {
        const MobEntry& mob = (*mobs)[mobSlots_[slot] - 1];
        if (mob.key == key) {
            return LoadMob(mob, out);
        }
    }
    return AAFRESULT_MOB_NOT_FOUND;
}

AAFRESULT AafFile::GetDefinitions(bool meta, pid::Pid setPid, const Definitions*& out) const {
    const auto slot = std::make_pair(meta, setPid);
    auto found = definitions_.find(slot);
    if (found != definitions_.end()) {
        out = &found->second;
        return AAFRESULT_SUCCESS;
    }
    Definitions definitions;
    NodePtr owner;
    if (meta) {
        if (metaDictionary_ != CompoundFile::kNoEntry) {
            LoadObject(metaDictionary_, owner);
        }
    } else {
        NodePtr header;
        if (LoadHeader(header).ok()) {
            header->ReadStrongRef(pid::kDictionary, owner);
        }
    }
    aafUInt32 count = 0;
    if (owner && AAFRESULT_SUCCEEDED(owner->CountElements(setPid, count)) && count > 0) {
        definitions.set.owner = owner->Entry();
        owner->ReadCollectionName(setPid, definitions.set.name);
        for (aafUInt32 i = 0; i < count; ++i) {
            std::span<const std::uint8_t> key;
            std::uint32_t localKey = 0;
            if (AAFRESULT_SUCCEEDED(owner->ReadSetKey(setPid, i, key)) && key.size() == 16 &&
                AAFRESULT_SUCCEEDED(owner->ReadLocalKey(setPid, i, localKey))) {
                definitions.byKey.emplace_back(UIDKey(DecodeAUID(key.data(), owner->Order())),
                                               localKey);
            }
        }
        std::stable_sort(definitions.byKey.begin(), definitions.byKey.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
    }
    out = &definitions_.emplace(slot, std::move(definitions)).first->second;
    return AAFRESULT_SUCCESS;
}

AAFRESULT AafFile::LookupDefinition(pid::Pid setPid, const aafUID_t& id, NodePtr& out) const {
    const Definitions* definitions = nullptr;
    GetDefinitions(false, setPid, definitions);
    const auto key = UIDKey(id);
    auto found = std::lower_bound(definitions->byKey.begin(), definitions->byKey.end(), key,
                                  [](const auto& a, const auto& k) { return a.first < k; });
    if (found == definitions->byKey.end() || found->first != key) {
        return AAFRESULT_OBJECT_NOT_FOUND;
    }
    return LoadElement(definitions->set, found->second, out);
}

AAFRESULT AafFile::LookupTypeDefinition(const aafUID_t& id, NodePtr& out) const {
    const Definitions* definitions = nullptr;
    GetDefinitions(true, pid::kTypeDefinitions, definitions);
    const auto key = UIDKey(id);
    auto found = std::lower_bound(definitions->byKey.begin(), definitions->byKey.end(), key,
                                  [](const auto& a, const auto& k) { return a.first < k; });
    if (found == definitions->byKey.end() || found->first != key) {
        return AAFRESULT_OBJECT_NOT_FOUND;
    }
    return LoadElement(definitions->set, found->second, out);
}

}  // namespace tessel::aaf
