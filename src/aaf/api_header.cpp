// The header, its byte order, its identifications and the mob enumerator.

#include <bit>

#include "aaf/AAF.h"
#include "aaf/api_support.h"

using tessel::aaf::AafFile;
using tessel::aaf::ClassId;
using tessel::aaf::ClassIsA;
using tessel::aaf::NodePtr;
namespace pid = tessel::aaf::pid;

namespace {

/// The SDK's virtual "mob kind": what a kAAFByMobKind search compares.
aafMobKind_t MobKindOf(ClassId cls, const NodePtr& mob) {
    if (ClassIsA(cls, ClassId::kCompositionMob)) {
        return kAAFCompMob;
    }
    if (ClassIsA(cls, ClassId::kMasterMob)) {
        return kAAFMasterMob;
    }
    if (!ClassIsA(cls, ClassId::kSourceMob)) {
        return kAAFAllMob;  // a plain extension of Mob matches no particular kind
    }
    NodePtr descriptor;
    if (!mob || AAFRESULT_FAILED(mob->ReadStrongRef(pid::kEssenceDescription, descriptor))) {
        return kAAFAllMob;
    }
    if (ClassIsA(descriptor->Class(), ClassId::kFileDescriptor)) {
        return kAAFFileMob;
    }
    if (ClassIsA(descriptor->Class(), ClassId::kTapeDescriptor)) {
        return kAAFTapeMob;
    }
    if (ClassIsA(descriptor->Class(), ClassId::kFilmDescriptor)) {
        return kAAFFilmMob;
    }
    return kAAFPhysicalMob;
}

/// Whether `mob` matches `criteria`; may load the mob (kept in `node`) to tell.
AAFRESULT Matches(const AafFile& file, const aafSearchCrit_t& criteria,
                  const AafFile::MobEntry& mob, NodePtr& node, bool& matches) {
    switch (criteria.searchTag) {
        case kAAFNoSearch:
            matches = true;
            return AAFRESULT_SUCCESS;
        case kAAFByMobID:
            matches = mob.key == tessel::aaf::MobIDKey(criteria.tags.mobID);
            return AAFRESULT_SUCCESS;
        case kAAFByMobKind: {
            if (criteria.tags.mobKind == kAAFAllMob) {
                matches = true;
                return AAFRESULT_SUCCESS;
            }
            ClassId cls = ClassId::kNone;
            AAFRESULT result = file.MobClass(mob, cls);
            if (AAFRESULT_FAILED(result)) {
                return result;
            }
            // Only source mobs need their descriptor to tell their kind.
            if (ClassIsA(cls, ClassId::kSourceMob)) {
                result = file.LoadMob(mob, node);
                if (AAFRESULT_FAILED(result)) {
                    return result;
                }
            }
            matches = MobKindOf(cls, node) == criteria.tags.mobKind;
            return AAFRESULT_SUCCESS;
        }
        case kAAFByClass: {
            ClassId cls = ClassId::kNone;
            const AAFRESULT result = file.MobClass(mob, cls);
            if (AAFRESULT_FAILED(result)) {
                return result;
            }
            const ClassId wanted = tessel::aaf::FindBaselineClass(criteria.tags.objClass);
            matches = wanted != ClassId::kNone && ClassIsA(cls, wanted);
            return AAFRESULT_SUCCESS;
        }
        default:
            return AAFRESULT_INVALID_PARAM;
    }
}

bool CriteriaSupported(const aafSearchCrit_t& criteria) {
    return criteria.searchTag == kAAFNoSearch || criteria.searchTag == kAAFByMobID ||
           criteria.searchTag == kAAFByMobKind || criteria.searchTag == kAAFByClass;
}

}  // namespace

class IEnumAAFMobs::Impl {
  public:
    std::shared_ptr<const AafFile> file;
    const std::vector<AafFile::MobEntry>* mobs = nullptr;
    aafSearchCrit_t criteria{};
    std::size_t position = 0;
};

IEnumAAFMobs::IEnumAAFMobs(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
IEnumAAFMobs::~IEnumAAFMobs() = default;

AAFRESULT IEnumAAFMobs::NextOne(std::shared_ptr<IAAFMob>& mob) {
    while (impl_->position < impl_->mobs->size()) {
        const AafFile::MobEntry& entry = (*impl_->mobs)[impl_->position++];
        NodePtr node;
        bool matches = false;
        // A mob that cannot be read (damaged, or of a class nobody defines) is passed over:
        // callers enumerate until the first failure, and one bad mob must not hide the rest.
        AAFRESULT result = Matches(*impl_->file, impl_->criteria, entry, node, matches);
        if (AAFRESULT_FAILED(result) || !matches) {
            continue;
        }
        if (!node) {
            result = impl_->file->LoadMob(entry, node);
        }
        if (AAFRESULT_SUCCEEDED(tessel::aaf::ToView(result, std::move(node), mob))) {
            return AAFRESULT_SUCCESS;
        }
    }
    return AAFRESULT_NO_MORE_OBJECTS;
}

AAFRESULT IEnumAAFMobs::Reset() {
    impl_->position = 0;
    return AAFRESULT_SUCCESS;
}

AAFRESULT IAAFHeader::GetMobs(const aafSearchCrit_t* criteria,
                              std::shared_ptr<IEnumAAFMobs>& mobs) const {
    auto impl = std::make_unique<IEnumAAFMobs::Impl>();
    if (criteria != nullptr) {
        if (!CriteriaSupported(*criteria)) {
            return AAFRESULT_INVALID_PARAM;
        }
        impl->criteria = *criteria;
    }
    impl->file = node_->FilePtr();
    tessel::aaf::Status status = node_->File().Mobs(impl->mobs);
    if (!status.ok()) {
        return status.code();
    }
    mobs = std::make_shared<IEnumAAFMobs>(std::move(impl));
    return AAFRESULT_SUCCESS;
}

AAFRESULT IAAFHeader::LookupMob(const aafMobID_t& mobID, std::shared_ptr<IAAFMob>& mob) const {
    NodePtr node;
    const AAFRESULT result = node_->File().LookupMob(mobID, node);
    return tessel::aaf::ToView(result, std::move(node), mob);
}

AAFRESULT IAAFHeader::CountMobs(aafMobKind_t kind, aafNumSlots_t& count) const {
    const std::vector<AafFile::MobEntry>* mobs = nullptr;
    tessel::aaf::Status status = node_->File().Mobs(mobs);
    if (!status.ok()) {
        return status.code();
    }
    aafSearchCrit_t criteria{};
    criteria.searchTag = kAAFByMobKind;
    criteria.tags.mobKind = kind;
    aafNumSlots_t found = 0;
    for (const AafFile::MobEntry& entry : *mobs) {
        NodePtr node;
        bool matches = false;
        const AAFRESULT result = Matches(node_->File(), criteria, entry, node, matches);
        if (AAFRESULT_FAILED(result)) {
            return result;
        }
        found += matches ? 1 : 0;
    }
    count = found;
    return AAFRESULT_SUCCESS;
}

AAFRESULT IAAFHeader::CountIdentifications(aafUInt32& count) const {
    return node_->CountElements(pid::kIdentificationList, count);
}

AAFRESULT IAAFHeader::GetIdentificationAt(
    aafUInt32 index, std::shared_ptr<IAAFIdentification>& identification) const {
    NodePtr node;
    const AAFRESULT result = node_->ReadElement(pid::kIdentificationList, index, node);
    return tessel::aaf::ToView(result, std::move(node), identification);
}

AAFRESULT IAAFHeader::GetLastIdentification(
    std::shared_ptr<IAAFIdentification>& identification) const {
    aafUInt32 count = 0;
    const AAFRESULT result = CountIdentifications(count);
    if (AAFRESULT_FAILED(result)) {
        return result;
    }
    if (count == 0) {
        return AAFRESULT_OBJECT_NOT_FOUND;
    }
    return GetIdentificationAt(count - 1, identification);
}

AAFRESULT IAAFEndian::GetStoredByteOrder(eAAFByteOrder_t& order) const {
    aafUInt16 stored = 0;
    node_->ReadUInt16(pid::kByteOrder, stored);
    order = stored == 0x4D4D ? kAAFByteOrderBig : kAAFByteOrderLittle;
    return AAFRESULT_SUCCESS;
}

AAFRESULT IAAFEndian::GetNativeByteOrder(eAAFByteOrder_t& order) const {
    order = std::endian::native == std::endian::big ? kAAFByteOrderBig : kAAFByteOrderLittle;
    return AAFRESULT_SUCCESS;
}

AAFRESULT IAAFIdentification::GetCompanyName(std::string& name) const {
    return node_->ReadString(pid::kCompanyName, name);
}

AAFRESULT IAAFIdentification::GetProductName(std::string& name) const {
    return node_->ReadString(pid::kProductName, name);
}

AAFRESULT IAAFIdentification::GetProductVersionString(std::string& version) const {
    return node_->ReadString(pid::kProductVersionString, version);
}

AAFRESULT IAAFIdentification::GetPlatform(std::string& platform) const {
    return node_->ReadString(pid::kPlatform, platform);
}

AAFRESULT IAAFIdentification::GetProductVersion(aafProductVersion_t& version) const {
    std::span<const std::uint8_t> bytes;
    const AAFRESULT result = node_->ReadBytes(pid::kProductVersion, bytes);
    if (AAFRESULT_FAILED(result)) {
        return result;
    }
    if (bytes.size() != 9) {
        return AAFRESULT_CORRUPT_OBJECT;
    }
    const tessel::aaf::ByteOrder order = node_->Order();
    version = {order.U16(bytes.data()), order.U16(bytes.data() + 2), order.U16(bytes.data() + 4),
               order.U16(bytes.data() + 6), bytes[8]};
    return AAFRESULT_SUCCESS;
}

AAFRESULT IAAFIdentification::GetDate(aafTimeStamp_t& date) const {
    std::span<const std::uint8_t> bytes;
    const AAFRESULT result = node_->ReadBytes(pid::kDate, bytes);
    if (AAFRESULT_FAILED(result)) {
        return result;
    }
    if (bytes.size() != 8) {
        return AAFRESULT_CORRUPT_OBJECT;
    }
    date = {node_->Order().I16(bytes.data()),
            bytes[2],
            bytes[3],
            bytes[4],
            bytes[5],
            bytes[6],
            bytes[7]};
    return AAFRESULT_SUCCESS;
}

AAFRESULT IAAFIdentification::GetProductID(aafUID_t& productID) const {
    return node_->ReadAUID(pid::kProductID, productID);
}
