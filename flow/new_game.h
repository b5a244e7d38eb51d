#pragma once
// The new-game panel: naming the player, choosing the controller, OK and Cancel, and
// the snapshot that lets Cancel return to an abandoned game's score and lives.
#include <cstdint>

#include "game/game.h"

namespace zbx {

void NewGame(Game& g);
void lblNew_Click(Game& g);
void lblOK_Click(Game& g);
void lblCancel_Click(Game& g);

// The name box: the placeholder goes away on focus; typed characters that the stored
// scoreboard cannot hold are discarded.
void txtName_GotFocus(Game& g);
void txtName_KeyPress(Game& g, std::int16_t& keyAscii);
// Whether a character (a code-page 1252 code, or a Unicode code point for
// IsNameCharacterAllowed) may stand in a player's name: not the separators "|" and
// ".", and nothing the scrambled table cannot store (codes 235 and above).
bool IsNameCodeAllowed(std::int16_t code);
bool IsNameCharacterAllowed(char32_t cp);

// The name box and the option buttons hand every key press on to Form_KeyDown.
void txtName_KeyDown(Game& g, std::int16_t& keyCode, std::int16_t& shift);
void optKeyboard_KeyDown(Game& g, std::int16_t& keyCode, std::int16_t& shift);
void optMouse_KeyDown(Game& g, std::int16_t& keyCode, std::int16_t& shift);

}  // namespace zbx
