#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

/// Numbers keys 0, 1, 2, ... in the order they are first added. A hash table of the model's
/// registries is looked up once or twice per clip, at random: with open addressing (slots of a
/// 32-bit hash and the number, side by side) and the keys in a dense array, a lookup reads about
/// two cache lines where a node-based map follows four or five pointers.
template <class Key, class Hash>
class DenseIndex {
  public:
    static constexpr uint32_t kAbsent = UINT32_MAX;

    /// The number of `key`, or kAbsent.
    uint32_t Find(const Key& key) const {
        if (slots_.empty()) {
            return kAbsent;
        }
        const size_t hash = Hash{}(key);
        for (size_t at = hash & mask_;; at = (at + 1) & mask_) {
            const Slot& slot = slots_[at];
            if (slot.number == kAbsent) {
                return kAbsent;
            }
            if (slot.hash == static_cast<uint32_t>(hash) && keys_[slot.number] == key) {
                return slot.number;
            }
        }
    }

    /// The number of `key`, which is given the next number when it is new.
    uint32_t Insert(const Key& key) {
        if (2 * (keys_.size() + 1) > slots_.size()) {
            Rehash(slots_.empty() ? 64 : 2 * slots_.size());
        }
        const size_t hash = Hash{}(key);
        size_t at = hash & mask_;
        for (;; at = (at + 1) & mask_) {
            const Slot& slot = slots_[at];
            if (slot.number == kAbsent) {
                break;
            }
            if (slot.hash == static_cast<uint32_t>(hash) && keys_[slot.number] == key) {
                return slot.number;
            }
        }
        const auto number = static_cast<uint32_t>(keys_.size());
        slots_[at] = Slot{static_cast<uint32_t>(hash), number};
        keys_.push_back(key);
        return number;
    }

    /// Room for `count` keys in all, so that adding up to that many moves nothing.
    void Reserve(size_t count) {
        keys_.reserve(count);
        size_t size = slots_.empty() ? 64 : slots_.size();
        while (2 * count > size) {
            size *= 2;
        }
        if (size != slots_.size()) {
            Rehash(size);
        }
    }

    /// The keys by number.
    const std::vector<Key>& Keys() const { return keys_; }
    size_t Size() const { return keys_.size(); }

    void Clear() {
        keys_ = {};
        slots_ = {};
        mask_ = 0;
    }

  private:
    struct Slot {
        uint32_t hash = 0;
        uint32_t number = kAbsent;
    };

    // The table never has 2^32 slots, so the low 32 bits of a hash place it as the whole did.
    void Rehash(size_t size) {
        std::vector<Slot> old(size);
        old.swap(slots_);
        mask_ = size - 1;
        for (const Slot& slot : old) {
            if (slot.number == kAbsent) {
                continue;
            }
            size_t at = slot.hash & mask_;
            while (slots_[at].number != kAbsent) {
                at = (at + 1) & mask_;
            }
            slots_[at] = slot;
        }
    }

    std::vector<Key> keys_;
    std::vector<Slot> slots_;
    size_t mask_ = 0;
};
