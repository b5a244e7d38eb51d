#pragma once
#include "game/game.h"

namespace zbx {

// Starts a prepared game, unpaused and with the timer running even while the cheat
// console blocks SetPause; ignored unless lblStart is enabled (the ready state).
void StartGame(Game& g);

// Holds a running game still (flag True) or resumes it with a new object from the top
// (flag False). Ignored while the cheat console is shown or no game runs. While a
// covering panel is open (help, scoreboard, new game) the pause caption and the paused
// panel are left alone.
void SetPause(Game& g, Flag flag);

void lblStart_Click(Game& g);
void lblPause_Click(Game& g);

}  // namespace zbx
