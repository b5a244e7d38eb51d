#pragma once
// Loading the window prepares the whole program; leaving goes through ConfirmExit.
#include <cstdint>

#include "game/game.h"

namespace zbx {

// Pointer and sound on, the registry object, the stored scoreboard, the best score in
// lblHS, and the first new-game panel (which cannot be cancelled).
void Form_Load(Game& g);
// When the window first shows, the keyboard goes to the first control of the tab order
// that can take it (the name box while the new-game panel is open), else the play area.
void GiveFirstFocus(Game& g);
// Every close request asks; the close goes ahead only after Yes.
void Form_QueryUnload(Game& g, std::int16_t& cancel, std::int16_t reason);
// Asks whether to leave (holding a running game still meanwhile). On Yes saves the
// scoreboard, releases the registry object and ends the program; otherwise returns
// with a running game resumed.
void ConfirmExit(Game& g);
// Saves the scoreboard and ends the program without asking: for a kill that nobody
// can answer (SIGTERM, SIGINT, SIGHUP).
void EndWithoutAsking(Game& g);

}  // namespace zbx
