#include "model/source_cache.h"

#include <array>
#include <cstring>

#include "aaf/object_node.h"

std::shared_ptr<IAAFHeader> g_aafHeader;
SourceCache g_sourceCache;

size_t SourceCache::KeyHash::operator()(const Key& key) const {
    // Every byte of the id counts: writers differ in which parts they vary (the material
    // number, the instance bytes, or both).
    const std::array<uint8_t, 32> bytes = tessel::aaf::MobIDKey(key.mob);
    uint64_t hash = key.slot;
    for (size_t at = 0; at < bytes.size(); at += 8) {
        uint64_t word = 0;
        std::memcpy(&word, bytes.data() + at, sizeof word);
        hash = (hash ^ word) * 0x9E3779B97F4A7C15ULL;
        hash ^= hash >> 29;
    }
    return static_cast<size_t>(hash);
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
