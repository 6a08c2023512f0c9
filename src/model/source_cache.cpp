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

ResolvedSource* SourceCache::Find(const aafMobID_t& mob, aafSlotID_t slot) {
    const uint32_t number = keys_.Find(Key{mob, slot});
    return number == keys_.kAbsent ? nullptr : &sources_[number];
}

const ResolvedSource& SourceCache::Add(const aafMobID_t& mob, aafSlotID_t slot,
                                       ResolvedSource source) {
    const uint32_t number = keys_.Insert(Key{mob, slot});
    if (number == sources_.size()) {
        return sources_.emplace_back(std::move(source));
    }
    return sources_[number] = std::move(source);
}

void SourceCache::Clear() {
    keys_.Clear();
    sources_.clear();
}
