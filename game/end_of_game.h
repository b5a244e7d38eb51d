#pragma once
#include "game/game.h"

namespace zbx {

// The lives have run out: stop play, show "Game Over", offer the score to the table and,
// when it got in, point out its row and open the scoreboard. A failing step is skipped
// and the next one still runs.
void GameOver(Game& g);

// The score reached its ceiling: like GameOver, but with "Tilt!", the explosion sound
// (whatever the sound switch says) and a blinking panel.
void Tilt(Game& g);

}  // namespace zbx
