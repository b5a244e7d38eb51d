#pragma once
// The score and the lives count live in the captions of lblScore and lblLifes; the
// game reads them back from there whenever it needs a number.
#include <cstdint>

#include "game/game.h"

namespace zbx {

// The lblScore caption as a 32-bit number; 0 when it holds no number.
std::int32_t ScoreFromCaption(const Form1& form);
// The lblLifes caption as a 16-bit number ("00" reads as 0); 0 when it holds no number.
std::int16_t LifesFromCaption(const Form1& form);

// Whether the unlimited-lives cheat is in force.
bool UnlimitedLifesActive(const ModGame& s);
// What the unlimited-lives cheat does to every change of lives: the caption "00" in
// yellow and LifesLeft 100.
void ShowUnlimitedLifes(Game& g);

}  // namespace zbx
