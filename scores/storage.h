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
// Writes the table stored at this moment with this run's recorded entries placed into
// it (as recording them there would), so that a game on the same store that saved in
// the meantime keeps its scores; with no other game that is exactly HighScores. Read and
// write are one transaction of the store, and HighScores becomes what was written.
// A failing write is ignored.
void SaveHighScores(Game& g);

}  // namespace zbx
