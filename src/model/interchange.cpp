#include "model/interchange.h"

#include "platform/memory.h"

namespace {

// A short edit's items fit in the first block; a long one's arena grows into huge pages.
constexpr size_t kInitialClipItemBytes = size_t{64} << 10;

}  // namespace

FCInterchange::FCInterchange() : clipItemArena_(kInitialClipItemBytes) {}

void FCInterchange::AddSequence(const std::shared_ptr<IAAFMob>& mob) {
    sequences.push_back(std::make_unique<FCSequence>(this, mob));
}
