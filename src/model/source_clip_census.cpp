#include "model/source_clip_census.h"

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

#include "aaf/aaf_file.h"
#include "aaf/class_table.h"
#include "aaf/object_node.h"

namespace {

using tessel::aaf::ClassId;
using tessel::aaf::NodePtr;
using tessel::aaf::ObjectNode;
using EntryId = tessel::aaf::CompoundFile::EntryId;

// The storages a walk has visited: a short list while the walk is small (most components hold
// a few objects), a bit per directory entry once it is not.
class SeenEntries {
  public:
    explicit SeenEntries(std::uint32_t entryCount) : entryCount_(entryCount) {}

    /// False when `entry` was inserted before.
    bool Insert(EntryId entry) {
        if (bits_.empty()) {
            if (std::find(few_.begin(), few_.end(), entry) != few_.end()) {
                return false;
            }
            if (few_.size() < kFew) {
                few_.push_back(entry);
                return true;
            }
            bits_.assign(entryCount_, false);
            for (const EntryId earlier : few_) {
                bits_[earlier] = true;
            }
        }
        if (entry >= bits_.size() || bits_[entry]) {
            return false;
        }
        bits_[entry] = true;
        return true;
    }

  private:
    static constexpr std::size_t kFew = 32;
    std::uint32_t entryCount_;
    std::vector<EntryId> few_;
    std::vector<bool> bits_;
};

}  // namespace

uint64_t CountSourceClips(const tessel::aaf::InterfaceBase& object) {
    if (!object.Node()) {
        return 0;
    }
    // Strong references lead to objects the file keeps while `object` keeps the file: the walk
    // can hold plain pointers. It runs once per slot and once per component that is not a
    // plain source clip, so it allocates only for big subtrees.
    uint64_t count = 0;
    std::vector<const ObjectNode*> pending{object.Node().get()};
    SeenEntries seen(object.Node()->File().Container().EntryCount());
    while (!pending.empty()) {
        const ObjectNode* node = pending.back();
        pending.pop_back();
        // A damaged file can name one storage from two places, or from inside itself: each
        // object is counted once, and the walk ends.
        if (!node->IsSynthetic() && !seen.Insert(node->Entry())) {
            continue;
        }
        if (tessel::aaf::NodeIsA(*node, ClassId::kSourceClip)) {
            ++count;
        }
        const bool selector = tessel::aaf::NodeIsA(*node, ClassId::kSelector);
        for (std::size_t p = 0; p < node->PropertyCount(); ++p) {
            tessel::aaf::pid::Pid pid = 0;
            std::uint16_t form = 0;
            std::span<const std::uint8_t> value;
            node->PropertyAt(p, pid, form, value);
            if (selector && pid == tessel::aaf::pid::kAlternates) {
                continue;
            }
            if (form == tessel::aaf::kFormStrongReference) {
                NodePtr child;
                if (AAFRESULT_SUCCEEDED(node->ReadStrongRef(pid, child)) && child) {
                    pending.push_back(child.get());
                }
            } else if (form == tessel::aaf::kFormStrongVector ||
                       form == tessel::aaf::kFormStrongSet) {
                aafUInt32 elements = 0;
                node->CountElements(pid, elements);
                for (aafUInt32 i = 0; i < elements; ++i) {
                    NodePtr child;
                    if (AAFRESULT_SUCCEEDED(node->ReadElement(pid, i, child)) && child) {
                        pending.push_back(child.get());
                    }
                }
            }
        }
    }
    return count;
}

std::string ComponentKindName(const tessel::aaf::InterfaceBase* object) {
    if (object == nullptr || !object->Node()) {
        return "unknown";
    }
    return std::string(tessel::aaf::GetClassInfo(object->Node()->Class()).name);
}
