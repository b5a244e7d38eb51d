#pragma once
// The event table of the window: which procedure answers which control's event.
#include "game/game.h"

namespace zbx {

// Installs every handler of the game into g.form's event slots.
void BindGame(Game& g);

}  // namespace zbx
