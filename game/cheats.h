#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

#include "game/game.h"

namespace zbx {

inline constexpr std::string_view kMasterCode = "GRAND OLD VORTEX";

// The cheat console's key handler: Escape hides the console (keeping the text), Enter
// carries out the command typed in txtCheat and clears the box when it was one.
void txtCheat_KeyDown(Game& g, std::int16_t& keyCode, std::int16_t& shift);

// The speed a "SETSPEED " command asks for: nothing when the command is no SETSPEED
// command with a number; otherwise the value of at most four characters from the tenth
// (previous when those do not make a 16-bit number), clamped to 200..600.
std::optional<std::int16_t> SetSpeedValue(std::string_view command, std::int16_t previous);

}  // namespace zbx
