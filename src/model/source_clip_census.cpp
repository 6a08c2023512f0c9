#include "model/source_clip_census.h"

#include <unordered_set>
#include <vector>

#include "aaf/class_table.h"
#include "aaf/object_node.h"

namespace {

using tessel::aaf::ClassId;
using tessel::aaf::NodePtr;

}  // namespace

uint64_t CountSourceClips(const tessel::aaf::InterfaceBase& object) {
    if (!object.Node()) {
        return 0;
    }
    uint64_t count = 0;
    std::vector<NodePtr> pending{object.Node()};
    // A damaged file can name one storage from two places, or from inside itself: each object
    // is counted once, and the walk ends.
    std::unordered_set<tessel::aaf::CompoundFile::EntryId> seen;
    while (!pending.empty()) {
        const NodePtr node = std::move(pending.back());
        pending.pop_back();
        if (!node || (!node->IsSynthetic() && !seen.insert(node->Entry()).second)) {
            continue;
        }
        if (tessel::aaf::NodeIsA(*node, ClassId::kSourceClip)) {
            ++count;
        }
        const bool selector = tessel::aaf::NodeIsA(*node, ClassId::kSelector);
        for (const tessel::aaf::pid::Pid pid : node->Pids()) {
            if (selector && pid == tessel::aaf::pid::kAlternates) {
                continue;
            }
            std::span<const std::uint8_t> value;
            std::uint16_t form = 0;
            if (!node->Find(pid, value, form)) {
                continue;
            }
            if (form == tessel::aaf::kFormStrongReference) {
                NodePtr child;
                if (AAFRESULT_SUCCEEDED(node->ReadStrongRef(pid, child)) && child) {
                    pending.push_back(std::move(child));
                }
            } else if (form == tessel::aaf::kFormStrongVector ||
                       form == tessel::aaf::kFormStrongSet) {
                aafUInt32 elements = 0;
                node->CountElements(pid, elements);
                for (aafUInt32 i = 0; i < elements; ++i) {
                    NodePtr child;
                    if (AAFRESULT_SUCCEEDED(node->ReadElement(pid, i, child)) && child) {
                        pending.push_back(std::move(child));
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
