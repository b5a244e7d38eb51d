#pragma once
#include "game/game.h"

namespace zbx {

// One step of play: launch a new object when one is due, move it down, transform it in
// the lower half when its roll says so, then decide whether it was caught or missed.
void GameTick(Game& g);

// The handler of timCounter: one tick per timer event. A timer event that the event
// pass of a Delay delivers while a tick is still running is dropped, so that a second
// tick cannot launch a new object over the explosion the first one is showing.
void timCounter_Timer(Game& g);

}  // namespace zbx
