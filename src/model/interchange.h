#pragma once

#include <memory>
#include <memory_resource>
#include <string>
#include <vector>

#include "model/sequence.h"
#include "platform/arena.h"

/// The model root of one conversion: its sequences.
class FCInterchange {
  public:
    FCInterchange();
    ~FCInterchange() = default;
    FCInterchange(const FCInterchange&) = delete;
    FCInterchange& operator=(const FCInterchange&) = delete;

    /// Builds the sequence of one composition mob (with all its tracks and clip items) and
    /// appends it to `sequences`.
    void AddSequence(const std::shared_ptr<IAAFMob>& mob);

    /// Where the tracks make their clip items: a long edit's items side by side in huge pages
    /// rather than one heap block each, freed at once with the interchange.
    std::pmr::memory_resource& ClipItemArena() { return clipItemArena_; }

  private:
    // Declared before `sequences`, so that it goes after the items in them.
    tessel::platform::Arena clipItemArena_;

  public:
    /// One sequence per composition mob, in enumeration order; never holds null.
    std::vector<std::unique_ptr<FCSequence>> sequences;
};
