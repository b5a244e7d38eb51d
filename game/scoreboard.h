#pragma once
#include "game/game.h"

namespace zbx {

// Offers the finished game's score (lblScore) with the player's name (txtName, as the
// stored table can hold it) to the table. When it earns a place (a tie ranks above the older entry), the lower entries
// move down, the last one drops out, ScoreRecorded becomes True and RecordedPlace the
// place; otherwise nothing changes.
void RecordHighScore(Game& g);
// The same for a score (decimal text) and name taken earlier.
void RecordScore(Game& g, const std::string& scoreText, const std::string& name);

// Fills HighScores from the game's score storage; without one, the default table.
void LoadHighScores(Game& g);
// Saves this run's recorded entries into the table stored at this moment (see
// ScoreStorage::Save); HighScores becomes the merged table. A failing write is ignored;
// without a score storage nothing happens.
void SaveHighScores(Game& g);

// Opens the scoreboard panel with the table's rows and holds a running game still; it
// takes the place of an open help panel. Does nothing while the cheat console is shown.
void ShowScoreboard(Game& g);

// Closes the scoreboard, resumes a game that was running when it opened, and returns
// every row to white.
void HideScoreboard(Game& g);

}  // namespace zbx
