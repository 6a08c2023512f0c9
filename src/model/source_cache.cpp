#include "model/source_cache.h"

#include <cstring>
#include <functional>

std::shared_ptr<IAAFHeader> g_aafHeader;
SourceCache g_sourceCache;

size_t SourceCache::KeyHash::operator()(const Key& key) const {
    // The material part tells mobs apart; the label and instance bytes rarely differ.
    uint64_t data4 = 0;
    std::memcpy(&data4, key.mob.material.Data4, sizeof data4);
    size_t hash = std::hash<uint64_t>{}(data4);
    hash = hash * 31 + key.mob.material.Data1;
    hash = hash * 31 + key.mob.material.Data2;
    hash = hash * 31 + key.mob.material.Data3;
    return hash * 31 + key.slot;
}

const ResolvedSource* SourceCache::Find(const aafMobID_t& mob, aafSlotID_t slot) const {
    auto found = sources_.find(Key{mob, slot});
    return found == sources_.end() ? nullptr : &found->second;
}

const ResolvedSource& SourceCache::Add(const aafMobID_t& mob, aafSlotID_t slot,
                                       ResolvedSource source) {
    return sources_.insert_or_assign(Key{mob, slot}, std::move(source)).first->second;
}

void SourceCache::Clear() {
    sources_.clear();
}
