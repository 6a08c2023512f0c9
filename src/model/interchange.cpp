#include "model/interchange.h"

void FCInterchange::AddSequence(const std::shared_ptr<IAAFMob>& mob) {
    sequences.push_back(std::make_unique<FCSequence>(this, mob));
}
