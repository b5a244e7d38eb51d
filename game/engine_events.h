#pragma once
#include "game/game.h"

namespace zbx {

// Connects the engine's own handlers to the window: timCounter's events to
// timCounter_Timer and txtCheat's key presses to txtCheat_KeyDown.
void BindEngineEvents(Game& g);

}  // namespace zbx
