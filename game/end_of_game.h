#pragma once
#include "game/game.h"

namespace zbx {

// The lives have run out: stop play, show "Game Over", offer the score to the table and,
// when it got in, point out its row and open the scoreboard. A failing step is skipped
// and the next one still runs.
void GameOver(Game& g);

// The score reached its ceiling: like GameOver, but with "Tilt!", the explosion sound
// (whatever the sound switch says) and a blinking panel. The score is offered to the
// table before the blink; a new game opened during the blink ends it.
void Tilt(Game& g);

// Offers the decided game's score to the table, once per game: whatever a later wait
// lets happen (a new game, a kill that saves the table), the score is in. ScoreRecorded
// and RecordedPlace tell the outcome.
void RecordFinalScore(Game& g);
// Whether the current game is decided and its score already offered to the table.
bool FinalScoreRecorded(const Game& g);

}  // namespace zbx
