// Opening files and the file object.

#include <cstring>

#include "aaf/AAF.h"
#include "aaf/api_support.h"

class IAAFFile::Impl {
  public:
    explicit Impl(std::shared_ptr<tessel::aaf::AafFile> opened) : file(std::move(opened)) {}
    std::shared_ptr<tessel::aaf::AafFile> file;  // null once closed
};

IAAFFile::IAAFFile(std::shared_ptr<Impl> impl) : impl_(std::move(impl)) {}
IAAFFile::~IAAFFile() = default;

AAFRESULT IAAFFile::GetHeader(std::shared_ptr<IAAFHeader>& header) const {
    if (!impl_ || !impl_->file) {
        return AAFRESULT_FILE_CLOSED;
    }
    tessel::aaf::NodePtr node;
    const AAFRESULT result = impl_->file->LoadHeader(node).code();
    return tessel::aaf::ToView(result, std::move(node), header);
}

AAFRESULT IAAFFile::Close() {
    if (!impl_ || !impl_->file) {
        return AAFRESULT_FILE_CLOSED;
    }
    // Objects still held keep the data alive; the file itself is no longer reachable from here.
    impl_->file.reset();
    return AAFRESULT_SUCCESS;
}

AAFRESULT IAAFFile::ReleaseResidentPages() const {
    if (!impl_ || !impl_->file) {
        return AAFRESULT_FILE_CLOSED;
    }
    impl_->file->ReleaseResidentPages();
    return AAFRESULT_SUCCESS;
}

AAFRESULT AAFLoad(const char* /*dllName*/) {
    return AAFRESULT_SUCCESS;
}

AAFRESULT AAFUnload() {
    return AAFRESULT_SUCCESS;
}

AAFRESULT AAFFileOpenExistingRead(const std::string& utf8Path, aafUInt32 modeFlags,
                                  std::shared_ptr<IAAFFile>& file) {
    using tessel::aaf::Status;
    if (modeFlags != 0) {
        Status status = Status::Error(AAFRESULT_INVALID_PARAM, "only mode flags 0 are supported");
        tessel::aaf::SetLastOpenError(status.Message());
        return status.code();
    }
    std::shared_ptr<tessel::aaf::AafFile> aafFile;
    Status status = tessel::aaf::AafFile::Open(utf8Path, aafFile);
    if (!status.ok()) {
        tessel::aaf::SetLastOpenError(status.Message());
        return status.code();
    }
    tessel::aaf::SetLastOpenError({});
    file = std::make_shared<IAAFFile>(std::make_shared<IAAFFile::Impl>(std::move(aafFile)));
    return AAFRESULT_SUCCESS;
}

std::strong_ordering CompareMobIDs(const aafMobID_t& a, const aafMobID_t& b) {
    const auto left = tessel::aaf::MobIDKey(a);
    const auto right = tessel::aaf::MobIDKey(b);
    return left <=> right;
}

std::strong_ordering CompareUIDs(const aafUID_t& a, const aafUID_t& b) {
    return tessel::aaf::UIDKey(a) <=> tessel::aaf::UIDKey(b);
}

namespace tessel::aaf {

bool NodeIsA(const ObjectNode& node, ClassId cls) {
    return ClassIsA(node.Class(), cls);
}

}  // namespace tessel::aaf

AAFRESULT IAAFObject::GetDefinition(std::shared_ptr<IAAFClassDef>& classDef) const {
    using namespace tessel::aaf;
    const aafUID_t id =
        node_->IsSynthetic() ? GetClassInfo(node_->Class()).auid : node_->StoredClass();
    classDef = std::make_shared<IAAFClassDef>(ObjectNode::MakeSynthetic(
        node_->FilePtr(), ClassId::kClassDefinition, id, node_->File().ClassName(id)));
    return AAFRESULT_SUCCESS;
}
