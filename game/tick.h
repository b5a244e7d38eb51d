#pragma once
#include "game/game.h"

namespace zbx {

// One step of play: launch a new object when one is due, move it down, transform it in
// the lower half when its roll says so, then decide whether it was caught or missed.
void GameTick(Game& g);

// The handler of timCounter: one tick per timer event.
void timCounter_Timer(Game& g);

}  // namespace zbx
