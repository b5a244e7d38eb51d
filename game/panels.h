#pragma once
// The help panel, the pointer switch, the sound switch and the cheat console's opening.
#include "game/game.h"

namespace zbx {

// Opens the help panel and holds a running game still without showing the pause.
void ShowHelp(Game& g);
// Closes it; resumes the game only if it was not paused when the help opened.
void HideHelp(Game& g);
// Closes a panel that covers the play area (help, scoreboard): hides it, gives the top
// bar back, clears the panel's shown flag and resumes the game only if it was not paused
// when the panel opened.
void HideCoveringPanel(Game& g, Control& panel, Flag& shown);
// Shows the game's pointer (flag True, or keyboard control) or hides it over the
// window. Does nothing while the new-game panel is open.
void SetPointerVisible(Game& g, Flag flag);
// Switches the sound effects on or off and shows the state in lblSound.
void ToggleSound(Game& g);

}  // namespace zbx
