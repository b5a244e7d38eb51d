#pragma once
#include <cstdint>

#include "game/game.h"

namespace zbx {

// Plays embedded wave resource id ("WAV" 1, 2 or 3) without waiting for it. The bytes
// are loaded anew on every call and copied into a buffer that the game keeps until the
// next sound replaces it. Looks at no sound switch: callers decide.
void PlaySoundResource(Game& g, std::int16_t id);

}  // namespace zbx
