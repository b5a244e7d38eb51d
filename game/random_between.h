#pragma once
#include <cstdint>

#include "game/game.h"

namespace zbx {

// A random whole number from low to high, both included, each equally likely. Every
// call mixes the time of day into the generator first; the generator keeps its running
// state, so several draws within one clock reading stay independent.
std::int16_t RandomBetween(Game& g, std::int16_t low, std::int16_t high);

}  // namespace zbx
