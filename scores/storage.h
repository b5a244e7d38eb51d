#pragma once
// The scoreboard in the registry: one scrambled string value, read once at start-up and
// written when the player leaves.
#include <string_view>

#include "game/game.h"

namespace zbx {

inline constexpr std::string_view kScoresPath = "HKLM\\System\\CurrentControlSet\\Control\\IDConfigDB";
inline constexpr std::string_view kScoresValue = "BIOS config";

// Fills HighScores from the stored value through Registry; anything missing comes from
// the default table, anything unreadable makes it the default table.
void LoadHighScores(Game& g);
// Writes HighScores, scrambled, through Registry. A failing write is ignored.
void SaveHighScores(Game& g);

}  // namespace zbx
