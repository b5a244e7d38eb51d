#pragma once
// Every key press of the window goes through Form_KeyDown; the name box and the option
// buttons hand theirs on to it.
#include <cstdint>

#include "game/game.h"

namespace zbx {

void Form_KeyDown(Game& g, std::int16_t& keyCode, std::int16_t& shift);

}  // namespace zbx
