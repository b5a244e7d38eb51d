#pragma once
// Steering the basket: half its width per arrow key, or its centre under the pointer.
#include "game/game.h"

namespace zbx {

// Left and Right arrow: one step of half the basket's width, held inside the window.
void SteerLeft(Game& g);
void SteerRight(Game& g);
// The basket's centre follows the pointer's x (window twips), held inside the window.
void SteerToPointer(Game& g, float x);

// The window's own pointer handler: the hover resets first and always, then, in a
// running, unpaused mouse-controlled game, the basket follows the pointer.
void Form_MouseMove(Game& g, std::int16_t button, std::int16_t shift, float x, float y);

}  // namespace zbx
