#include "aaf/object_node.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "aaf/aaf_file.h"
#include "aaf/text.h"

namespace tessel::aaf {

namespace {

constexpr std::uint8_t kLittle = 0x4C;  // 'L'
constexpr std::uint8_t kBig = 0x42;     // 'B'
constexpr std::uint8_t kFormatVersion = 0x20;
constexpr std::size_t kVectorIndexHeader = 12;
constexpr std::size_t kSetIndexHeader = 15;
constexpr std::size_t kWeakReferenceHeader = 5;

const std::u16string kPropertiesName = u"properties";
const std::u16string kIndexSuffix = u" index";

Status CorruptObject(const CompoundFile& container, CompoundFile::EntryId entry,
                     const std::string& what) {
    return Status::Error(AAFRESULT_CORRUPT_OBJECT,
                         "object \"" + container.Name(entry) + "\": " + what);
}

}  // namespace

aafUID_t DecodeAUID(const std::uint8_t* bytes, ByteOrder order) {
    aafUID_t id{};
    id.Data1 = order.U32(bytes);
    id.Data2 = order.U16(bytes + 4);
    id.Data3 = order.U16(bytes + 6);
    std::memcpy(id.Data4, bytes + 8, 8);
    return id;
}

aafUID_t ClassIdToAUID(const std::array<std::uint8_t, 16>& clsid) {
    return DecodeAUID(clsid.data(), ByteOrder{false});
}

aafMobID_t DecodeMobID(const std::uint8_t* bytes, ByteOrder order) {
    aafMobID_t id{};
    std::memcpy(id.SMPTELabel, bytes, 12);
    id.length = bytes[12];
    id.instanceHigh = bytes[13];
    id.instanceMid = bytes[14];
    id.instanceLow = bytes[15];
    id.material = DecodeAUID(bytes + 16, order);
    return id;
}

std::array<std::uint8_t, 16> UIDKey(const aafUID_t& id) {
    std::array<std::uint8_t, 16> key{};
    for (int i = 0; i < 4; ++i) {
        key[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(id.Data1 >> (8 * i));
    }
    key[4] = static_cast<std::uint8_t>(id.Data2);
    key[5] = static_cast<std::uint8_t>(id.Data2 >> 8);
    key[6] = static_cast<std::uint8_t>(id.Data3);
    key[7] = static_cast<std::uint8_t>(id.Data3 >> 8);
    std::memcpy(key.data() + 8, id.Data4, 8);
    return key;
}

std::array<std::uint8_t, 32> MobIDKey(const aafMobID_t& id) {
    std::array<std::uint8_t, 32> key{};
    std::memcpy(key.data(), id.SMPTELabel, 12);
    key[12] = id.length;
    key[13] = id.instanceHigh;
    key[14] = id.instanceMid;
    key[15] = id.instanceLow;
    const auto material = UIDKey(id.material);
    std::memcpy(key.data() + 16, material.data(), 16);
    return key;
}

std::u16string ElementName(std::u16string_view collection, std::uint32_t localKey) {
    static const char digits[] = "0123456789abcdef";
    char hex[8];
    int length = 0;
    do {
        hex[length++] = digits[localKey & 0xF];
        localKey >>= 4;
    } while (localKey != 0);
    std::u16string name(collection);
    name += u'{';
    while (length > 0) {
        name += static_cast<char16_t>(hex[--length]);
    }
    name += u'}';
    return name;
}

ObjectNode::ObjectNode(const AafFile& file, CompoundFile::EntryId entry)
    : file_(&file), entry_(entry) {}

ObjectNode::~ObjectNode() {
    // The arena keeps the memory; what the vectors hold is given back with it.
    if (lookups_ != nullptr) {
        lookups_->~Lookups();
    }
}

ObjectNode::Lookups& ObjectNode::GetLookups() const {
    if (lookups_ == nullptr) {
        std::pmr::memory_resource& arena = file_->Arena();
        lookups_ = new (arena.allocate(sizeof(Lookups), alignof(Lookups))) Lookups(&arena);
    }
    return *lookups_;
}

aafUID_t ObjectNode::StoredClass() const {
    return ClassIdToAUID(file_->Container().ClassIdBytes(entry_));
}

std::u16string ObjectNode::CollectionName(const Collection& collection) const {
    return DecodeUtf16(collection.storedName, order_.big);
}

std::shared_ptr<const AafFile> ObjectNode::FilePtr() const {
    return file_->shared_from_this();
}

Status ObjectNode::Read(const AafFile& file, CompoundFile::EntryId entry, ArenaPtr& out) {
    const CompoundFile& container = file.Container();
    if (entry >= container.EntryCount() || !container.IsStorage(entry)) {
        return Status::Error(AAFRESULT_CORRUPT_OBJECT, "a reference does not lead to a storage");
    }
    // A node that fails to read leaves its few bytes in the arena until the file closes.
    ArenaPtr node(new (file.Arena().allocate(sizeof(ObjectNode), alignof(ObjectNode)))
                      ObjectNode(file, entry));
    Status status = file.ResolveClass(entry, node->class_);
    if (!status.ok()) {
        return status;
    }
    status = node->Parse();
    if (!status.ok()) {
        return status;
    }
    out = std::move(node);
    return {};
}

Status ObjectNode::LoadRoot(std::shared_ptr<const AafFile> file, NodePtr& out) {
    auto node = std::make_shared<ObjectNode>(*file, CompoundFile::kRoot);
    node->detached_ = std::make_unique<const Detached>(Detached{std::move(file), {}, {}});
    Status status = node->Parse();
    if (!status.ok()) {
        return status;
    }
    out = std::move(node);
    return {};
}

NodePtr ObjectNode::MakeSynthetic(std::shared_ptr<const AafFile> file, ClassId cls,
                                  const aafUID_t& id, std::string name) {
    auto node = std::make_shared<ObjectNode>(*file, CompoundFile::kNoEntry);
    node->class_ = cls;
    node->detached_ =
        std::make_unique<const Detached>(Detached{std::move(file), id, std::move(name)});
    return node;
}

Status ObjectNode::Parse() {
    const CompoundFile& container = file_->Container();
    const CompoundFile::EntryId stream = container.FindChild(entry_, kPropertiesName);
    if (stream == CompoundFile::kNoEntry || !container.IsStream(stream)) {
        return CorruptObject(container, entry_, "it has no properties stream");
    }
    Status status = container.ReadStream(stream, properties_);
    if (!status.ok()) {
        return status;
    }
    if (properties_.size() < 4) {
        return CorruptObject(container, entry_, "its properties stream is too short");
    }
    if (properties_[0] != kLittle && properties_[0] != kBig) {
        return CorruptObject(container, entry_, "its properties stream has an unknown byte order");
    }
    if (properties_[1] != kFormatVersion) {
        return CorruptObject(container, entry_,
                             "its properties stream has format version " +
                                 std::to_string(properties_[1]) + ", not 32");
    }
    order_.big = properties_[0] == kBig;
    propertyCount_ = order_.U16(properties_.data() + 2);
    const std::size_t tableEnd = 4 + 6 * static_cast<std::size_t>(propertyCount_);
    if (tableEnd > properties_.size()) {
        return CorruptObject(container, entry_, "its property table runs past the stream's end");
    }
    std::size_t total = tableEnd;
    for (std::size_t i = 0; i < propertyCount_; ++i) {
        total += order_.U16(properties_.data() + 4 + 6 * i + 4);
    }
    if (total > properties_.size()) {
        return CorruptObject(container, entry_, "its property values run past the stream's end");
    }
    return {};
}

bool ObjectNode::Find(pid::Pid pid, std::span<const std::uint8_t>& value,
                      std::uint16_t& form) const {
    if (IsSynthetic()) {
        return false;
    }
    std::size_t offset = 4 + 6 * static_cast<std::size_t>(propertyCount_);
    for (std::size_t i = 0; i < propertyCount_; ++i) {
        const std::uint8_t* entry = properties_.data() + 4 + 6 * i;
        const std::uint16_t length = order_.U16(entry + 4);
        if (order_.U16(entry) == pid) {
            form = order_.U16(entry + 2);
            value = properties_.subspan(offset, length);
            return true;
        }
        offset += length;
    }
    return false;
}

bool ObjectNode::Has(pid::Pid pid) const {
    std::span<const std::uint8_t> value;
    std::uint16_t form = 0;
    return Find(pid, value, form);
}

std::vector<pid::Pid> ObjectNode::Pids() const {
    std::vector<pid::Pid> pids;
    for (std::size_t i = 0; i < propertyCount_; ++i) {
        pids.push_back(order_.U16(properties_.data() + 4 + 6 * i));
    }
    return pids;
}

void ObjectNode::PropertyAt(std::size_t index, pid::Pid& pid, std::uint16_t& form,
                            std::span<const std::uint8_t>& value) const {
    // Parse checked that the table and every value lie inside the stream.
    std::size_t offset = 4 + 6 * static_cast<std::size_t>(propertyCount_);
    for (std::size_t i = 0; i < index; ++i) {
        offset += order_.U16(properties_.data() + 4 + 6 * i + 4);
    }
    const std::uint8_t* entry = properties_.data() + 4 + 6 * index;
    pid = order_.U16(entry);
    form = order_.U16(entry + 2);
    value = properties_.subspan(offset, order_.U16(entry + 4));
}

AAFRESULT ObjectNode::ReadFixed(pid::Pid pid, std::size_t size,
                                std::span<const std::uint8_t>& value) const {
    std::uint16_t form = 0;
    if (!Find(pid, value, form)) {
        return AAFRESULT_PROP_NOT_PRESENT;
    }
    if (form != kFormData || value.size() != size) {
        return AAFRESULT_CORRUPT_OBJECT;
    }
    return AAFRESULT_SUCCESS;
}

AAFRESULT ObjectNode::ReadUInt8(pid::Pid pid, aafUInt8& value) const {
    std::span<const std::uint8_t> bytes;
    const AAFRESULT result = ReadFixed(pid, 1, bytes);
    if (AAFRESULT_SUCCEEDED(result)) {
        value = bytes[0];
    }
    return result;
}

AAFRESULT ObjectNode::ReadUInt16(pid::Pid pid, aafUInt16& value) const {
    std::span<const std::uint8_t> bytes;
    const AAFRESULT result = ReadFixed(pid, 2, bytes);
    if (AAFRESULT_SUCCEEDED(result)) {
        value = order_.U16(bytes.data());
    }
    return result;
}

AAFRESULT ObjectNode::ReadUInt32(pid::Pid pid, aafUInt32& value) const {
    std::span<const std::uint8_t> bytes;
    const AAFRESULT result = ReadFixed(pid, 4, bytes);
    if (AAFRESULT_SUCCEEDED(result)) {
        value = order_.U32(bytes.data());
    }
    return result;
}

AAFRESULT ObjectNode::ReadInt64(pid::Pid pid, aafInt64& value) const {
    std::span<const std::uint8_t> bytes;
    const AAFRESULT result = ReadFixed(pid, 8, bytes);
    if (AAFRESULT_SUCCEEDED(result)) {
        value = order_.I64(bytes.data());
    }
    return result;
}

AAFRESULT ObjectNode::ReadRational(pid::Pid pid, aafRational_t& value) const {
    std::span<const std::uint8_t> bytes;
    const AAFRESULT result = ReadFixed(pid, 8, bytes);
    if (AAFRESULT_SUCCEEDED(result)) {
        value.numerator = order_.I32(bytes.data());
        value.denominator = order_.I32(bytes.data() + 4);
    }
    return result;
}

AAFRESULT ObjectNode::ReadAUID(pid::Pid pid, aafUID_t& value) const {
    std::span<const std::uint8_t> bytes;
    const AAFRESULT result = ReadFixed(pid, 16, bytes);
    if (AAFRESULT_SUCCEEDED(result)) {
        value = DecodeAUID(bytes.data(), order_);
    }
    return result;
}

AAFRESULT ObjectNode::ReadMobID(pid::Pid pid, aafMobID_t& value) const {
    std::span<const std::uint8_t> bytes;
    const AAFRESULT result = ReadFixed(pid, 32, bytes);
    if (AAFRESULT_SUCCEEDED(result)) {
        value = DecodeMobID(bytes.data(), order_);
    }
    return result;
}

AAFRESULT ObjectNode::ReadString(pid::Pid pid, std::string& value) const {
    std::span<const std::uint8_t> bytes;
    std::uint16_t form = 0;
    if (!Find(pid, bytes, form)) {
        return AAFRESULT_PROP_NOT_PRESENT;
    }
    if (form != kFormData) {
        return AAFRESULT_CORRUPT_OBJECT;
    }
    value = DecodeUtf16ToUtf8(bytes, order_.big);
    return AAFRESULT_SUCCESS;
}

AAFRESULT ObjectNode::ReadBytes(pid::Pid pid, std::span<const std::uint8_t>& value) const {
    std::uint16_t form = 0;
    if (!Find(pid, value, form)) {
        return AAFRESULT_PROP_NOT_PRESENT;
    }
    return form == kFormData ? AAFRESULT_SUCCESS : AAFRESULT_CORRUPT_OBJECT;
}

AAFRESULT ObjectNode::ReadStrongRef(pid::Pid pid, NodePtr& out) const {
    if (lookups_ != nullptr) {
        for (const auto& [known, child] : lookups_->strongReferences) {
            if (known == pid) {
                return file_->LoadObject(child, out).code();
            }
        }
    }
    std::span<const std::uint8_t> value;
    std::uint16_t form = 0;
    if (!Find(pid, value, form)) {
        return AAFRESULT_PROP_NOT_PRESENT;
    }
    if (form != kFormStrongReference) {
        return AAFRESULT_CORRUPT_OBJECT;
    }
    // A storage name has at most 31 code units; a longer reference cannot name a child.
    std::array<char16_t, 32> name{};
    std::size_t length = 0;
    for (std::size_t i = 0; i + 1 < value.size() && length < name.size(); i += 2) {
        const auto unit = static_cast<char16_t>(order_.U16(value.data() + i));
        if (unit == 0) {
            break;
        }
        name[length++] = unit;
    }
    const CompoundFile::EntryId child =
        file_->Container().FindChild(entry_, std::u16string_view(name.data(), length));
    if (child == CompoundFile::kNoEntry) {
        return AAFRESULT_CORRUPT_OBJECT;
    }
    GetLookups().strongReferences.emplace_back(pid, child);
    return file_->LoadObject(child, out).code();
}

AAFRESULT ObjectNode::ReadWeakRefKey(pid::Pid pid, aafUID_t& key) const {
    std::span<const std::uint8_t> value;
    std::uint16_t form = 0;
    if (!Find(pid, value, form)) {
        return AAFRESULT_PROP_NOT_PRESENT;
    }
    if (form != kFormWeakReference || value.size() != kWeakReferenceHeader + 16 || value[4] != 16) {
        return AAFRESULT_CORRUPT_OBJECT;
    }
    key = DecodeAUID(value.data() + kWeakReferenceHeader, order_);
    return AAFRESULT_SUCCESS;
}

AAFRESULT ObjectNode::GetCollection(pid::Pid pid, Collection*& out) const {
    if (lookups_ != nullptr) {
        for (Collection& collection : lookups_->collections) {
            if (collection.pid == pid) {
                out = &collection;
                return AAFRESULT_SUCCESS;
            }
        }
    }
    std::span<const std::uint8_t> value;
    std::uint16_t form = 0;
    if (!Find(pid, value, form)) {
        return AAFRESULT_PROP_NOT_PRESENT;
    }
    if (form != kFormStrongVector && form != kFormStrongSet) {
        return AAFRESULT_CORRUPT_OBJECT;
    }
    const std::u16string name = DecodeUtf16(value, order_.big);
    Collection collection{.pid = pid,
                          .form = form,
                          .storedName = value,
                          .index = {},
                          .count = 0,
                          .keySize = 0,
                          .storages = std::pmr::vector<CompoundFile::EntryId>(&file_->Arena())};
    const CompoundFile& container = file_->Container();
    const CompoundFile::EntryId stream = container.FindChild(entry_, name + kIndexSuffix);
    if (stream == CompoundFile::kNoEntry || !container.IsStream(stream)) {
        return AAFRESULT_CORRUPT_OBJECT;
    }
    if (!container.ReadStream(stream, collection.index).ok()) {
        return AAFRESULT_CORRUPT_OBJECT;
    }
    const std::span<const std::uint8_t> index = collection.index;
    const std::size_t header = form == kFormStrongVector ? kVectorIndexHeader : kSetIndexHeader;
    if (index.size() < header) {
        return AAFRESULT_CORRUPT_OBJECT;
    }
    collection.count = order_.U32(index.data());
    std::size_t entrySize = 4;
    if (form == kFormStrongSet) {
        collection.keySize = index[14];
        entrySize = 8 + collection.keySize;
    }
    // The count must fit the stream: a damaged count cannot make us read past it.
    if (collection.count > (index.size() - header) / entrySize) {
        return AAFRESULT_CORRUPT_OBJECT;
    }
    std::pmr::vector<Collection>& collections = GetLookups().collections;
    collections.push_back(std::move(collection));
    out = &collections.back();
    return AAFRESULT_SUCCESS;
}

std::uint32_t ObjectNode::LocalKeyAt(const Collection& collection, std::uint32_t index) const {
    if (collection.form == kFormStrongVector) {
        return order_.U32(collection.index.data() + kVectorIndexHeader + 4 * std::size_t{index});
    }
    const std::size_t entrySize = 8 + std::size_t{collection.keySize};
    return order_.U32(collection.index.data() + kSetIndexHeader + entrySize * index);
}

AAFRESULT ObjectNode::CountElements(pid::Pid pid, aafUInt32& count) const {
    Collection* collection = nullptr;
    const AAFRESULT result = GetCollection(pid, collection);
    if (result == AAFRESULT_PROP_NOT_PRESENT) {
        count = 0;
        return AAFRESULT_SUCCESS;
    }
    if (AAFRESULT_SUCCEEDED(result)) {
        count = collection->count;
    }
    return result;
}

AAFRESULT ObjectNode::ReadLocalKey(pid::Pid pid, aafUInt32 index, std::uint32_t& localKey) const {
    Collection* collection = nullptr;
    const AAFRESULT result = GetCollection(pid, collection);
    if (result == AAFRESULT_PROP_NOT_PRESENT) {
        return AAFRESULT_BADINDEX;
    }
    if (AAFRESULT_FAILED(result)) {
        return result;
    }
    if (index >= collection->count) {
        return AAFRESULT_BADINDEX;
    }
    localKey = LocalKeyAt(*collection, index);
    return AAFRESULT_SUCCESS;
}

AAFRESULT ObjectNode::ReadSetKey(pid::Pid pid, aafUInt32 index,
                                 std::span<const std::uint8_t>& key) const {
    Collection* collection = nullptr;
    const AAFRESULT result = GetCollection(pid, collection);
    if (result == AAFRESULT_PROP_NOT_PRESENT) {
        return AAFRESULT_BADINDEX;
    }
    if (AAFRESULT_FAILED(result)) {
        return result;
    }
    if (collection->form != kFormStrongSet) {
        return AAFRESULT_INVALID_PARAM;
    }
    if (index >= collection->count) {
        return AAFRESULT_BADINDEX;
    }
    const std::size_t entrySize = 8 + std::size_t{collection->keySize};
    key = collection->index.subspan(kSetIndexHeader + entrySize * index + 8, collection->keySize);
    return AAFRESULT_SUCCESS;
}

AAFRESULT ObjectNode::ReadCollectionName(pid::Pid pid, std::u16string& name) const {
    Collection* collection = nullptr;
    const AAFRESULT result = GetCollection(pid, collection);
    if (AAFRESULT_SUCCEEDED(result)) {
        name = CollectionName(*collection);
    }
    return result;
}

AAFRESULT ObjectNode::LoadElementByKey(pid::Pid pid, std::uint32_t localKey, NodePtr& out) const {
    Collection* collection = nullptr;
    const AAFRESULT result = GetCollection(pid, collection);
    if (AAFRESULT_FAILED(result)) {
        return result;
    }
    const CompoundFile& container = file_->Container();
    const CompoundFile::EntryId child =
        container.FindChild(entry_, ElementName(CollectionName(*collection), localKey));
    if (child == CompoundFile::kNoEntry) {
        return AAFRESULT_CORRUPT_OBJECT;
    }
    return file_->LoadObject(child, out).code();
}

AAFRESULT ObjectNode::ReadElement(pid::Pid pid, aafUInt32 index, NodePtr& out) const {
    Collection* collection = nullptr;
    const AAFRESULT result = GetCollection(pid, collection);
    if (result == AAFRESULT_PROP_NOT_PRESENT) {
        return AAFRESULT_BADINDEX;
    }
    if (AAFRESULT_FAILED(result)) {
        return result;
    }
    if (index >= collection->count) {
        return AAFRESULT_BADINDEX;
    }
    if (collection->storages.empty()) {
        FindElementStorages(*collection);
    }
    const CompoundFile::EntryId storage = collection->storages[index];
    if (storage == CompoundFile::kNoEntry) {
        return AAFRESULT_CORRUPT_OBJECT;
    }
    return file_->LoadObject(storage, out).code();
}

namespace {

// The local key of an element storage named `collection{key}`, the key in lowercase hexadecimal
// without leading zeros (exactly as ElementName writes it); false for any other name.
bool ParseElementName(std::u16string_view name, std::u16string_view collection,
                      std::uint32_t& key) {
    if (name.size() < collection.size() + 3 || !name.starts_with(collection) ||
        name[collection.size()] != u'{' || name.back() != u'}') {
        return false;
    }
    const std::u16string_view digits =
        name.substr(collection.size() + 1, name.size() - collection.size() - 2);
    if (digits.size() > 8 || (digits.size() > 1 && digits[0] == u'0')) {
        return false;
    }
    key = 0;
    for (char16_t digit : digits) {
        std::uint32_t value = 0;
        if (digit >= u'0' && digit <= u'9') {
            value = static_cast<std::uint32_t>(digit - u'0');
        } else if (digit >= u'a' && digit <= u'f') {
            value = static_cast<std::uint32_t>(digit - u'a' + 10);
        } else {
            return false;
        }
        key = key << 4 | value;
    }
    return true;
}

}  // namespace

void ObjectNode::FindElementStorages(Collection& collection) const {
    // One pass over this object's children reads every element's key from its storage's name;
    // searching the children by name once per element would cost far more in a big collection.
    const CompoundFile& container = file_->Container();
    const std::u16string name = CollectionName(collection);
    std::vector<std::pair<std::uint32_t, CompoundFile::EntryId>> byKey;
    byKey.reserve(container.Children(entry_).size());
    for (CompoundFile::EntryId child : container.Children(entry_)) {
        std::uint32_t key = 0;
        if (container.IsStorage(child) && ParseElementName(container.Name16(child), name, key)) {
            byKey.emplace_back(key, child);
        }
    }
    // A well-formed sibling tree lists the elements by key already (shorter hexadecimal names
    // first), and writers number elements in index order: mostly nothing to sort, and each
    // element is the one after the last.
    if (!std::is_sorted(byKey.begin(), byKey.end())) {
        std::sort(byKey.begin(), byKey.end());
    }
    // Each element has a storage of its own. An index that names one key twice is damaged: the
    // repeats are left without a storage, or a small file could make one element stand for
    // thousands, each of those again for thousands, and so on.
    std::vector<bool> used(byKey.size(), false);
    collection.storages.resize(collection.count, CompoundFile::kNoEntry);
    std::size_t next = 0;
    for (std::uint32_t i = 0; i < collection.count; ++i) {
        const std::uint32_t key = LocalKeyAt(collection, i);
        auto found = byKey.begin() + static_cast<std::ptrdiff_t>(next);
        // The first storage with this key, as the search below finds it.
        const bool isNext = next < byKey.size() && byKey[next].first == key &&
                            (next == 0 || byKey[next - 1].first != key);
        if (!isNext) {
            found = std::lower_bound(byKey.begin(), byKey.end(), std::make_pair(key, 0u));
        }
        if (found != byKey.end() && found->first == key) {
            const auto position = static_cast<std::size_t>(found - byKey.begin());
            next = position + 1;
            if (!used[position]) {
                used[position] = true;
                collection.storages[i] = found->second;
            }
        }
    }
}

}  // namespace tessel::aaf
