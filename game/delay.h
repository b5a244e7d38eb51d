#pragma once
#include <cstdint>

#include "game/game.h"

namespace zbx {

// Lets pending window events run once, then waits until the time of day, rounded to
// whole seconds, reaches the rounded start time plus the delay. The wait thus lasts
// between max(0, ms/1000 - 1) and ms/1000 seconds, and handles no events. It also ends
// when the time of day wraps at midnight. It sleeps briefly between clock reads.
void Delay(Game& g, std::int16_t milliseconds);

}  // namespace zbx
