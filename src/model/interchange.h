#pragma once

#include <memory>
#include <string>
#include <vector>

#include "model/sequence.h"

/// The model root of one conversion: its sequences.
class FCInterchange {
  public:
    FCInterchange() = default;
    ~FCInterchange() = default;
    FCInterchange(const FCInterchange&) = delete;
    FCInterchange& operator=(const FCInterchange&) = delete;

    /// Builds the sequence of one composition mob (with all its tracks and clip items) and
    /// appends it to `sequences`.
    void AddSequence(const std::shared_ptr<IAAFMob>& mob);

    /// One sequence per composition mob, in enumeration order; never holds null.
    std::vector<std::unique_ptr<FCSequence>> sequences;
};
