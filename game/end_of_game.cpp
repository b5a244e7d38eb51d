#include "game/end_of_game.h"

#include <string>

#include "game/delay.h"
#include "game/rules.h"
#include "game/scoreboard.h"
#include "game/sound.h"

namespace zbx {
namespace {

using namespace rules;

// How an end runs its steps: GameOver runs each on its own and skips one that fails
// (Attempt); Tilt runs them as they come (Plain).
struct Attempt {
  template <typename Step>
  void operator()(Step&& step) const noexcept {
    try {
      step();
    } catch (...) {
    }
  }
};
struct Plain {
  template <typename Step>
  void operator()(Step&& step) const {
    step();
  }
};

template <typename Run>
void ColourRow(Game& g, int place, Rgb colour, Run run) {
  run([&] { g.form.lblHSName(place).SetForeColor(colour); });
  run([&] { g.form.lblHSScore(place).SetForeColor(colour); });
  run([&] { g.form.lblHSPlace(place).SetForeColor(colour); });
}

template <typename Run>
void DisableGameButtons(Game& g, Run run) {
  run([&] { g.form.lblStart.SetEnabled(false); });
  run([&] { g.form.lblPause.SetEnabled(false); });
  run([&] { g.form.lblNew.SetEnabled(true); });
}

// The explosion of the last bomb lets events run, and one may hold the game still
// (Space, help, the scoreboard). The game is over all the same: no pause is left behind
// for it, and no paused panel over the end-of-game panel.
void DropPause(Game& g) {
  g.s.Paused = kFalse;
  g.form.framePaused.SetVisible(false);
  g.form.lblPause.SetCaption("Pause (Space)");
}

// Both ends: play stops, the score goes into the table before any wait lets a new game
// or a kill happen, and the planet and the basket go back where a game begins.
template <typename Run>
void StopPlay(Game& g, Run run) {
  Form1& f = g.form;
  run([&] { f.timCounter.SetEnabled(false); });
  run([&] { g.s.GameRunning = kFalse; });
  run([&] { RecordFinalScore(g); });
  DisableGameButtons(g, run);
  run([&] { f.picPlanet.SetTop(kLaunchTop); });
  run([&] { f.picBasket.SetLeft(Form1::kBasketHome.left); });
}

// A score that got into the table: its row is pointed out while the end panel stays a
// moment, then the scoreboard takes the panel's place. A new game opened meanwhile gets
// the row back in white and no scoreboard.
template <typename Run>
void PointOutRecordedRow(Game& g, std::uint32_t epoch, Run run) {
  if (g.s.ScoreRecorded != kTrue) return;
  const int place = g.s.RecordedPlace;
  ColourRow(g, place, kRecordedRow, run);
  run([&] { Delay(g, 2000); });
  if (!SameGameAfterWait(g, epoch)) {
    ColourRow(g, place, palette::kWhite, run);
    return;
  }
  run([&] { g.form.frameGameOver.SetVisible(false); });
  run([&] { ShowScoreboard(g); });
}

}  // namespace

bool FinalScoreRecorded(const Game& g) { return g.recordedEpoch == g.epoch; }

void RecordFinalScore(Game& g) {
  if (FinalScoreRecorded(g)) return;
  g.recordedEpoch = g.epoch;
  g.s.ScoreRecorded = kFalse;
  RecordHighScore(g);
}

void GameOver(Game& g) {
  const Attempt run;
  const auto epoch = g.epoch;
  StopPlay(g, run);
  run([&] { DropPause(g); });
  run([&] { g.form.Label2(14).SetCaption("Game Over"); });
  run([&] { g.form.frameGameOver.SetVisible(true); });
  PointOutRecordedRow(g, epoch, run);
}

void Tilt(Game& g) {
  const Plain run;
  Form1& f = g.form;
  const auto epoch = g.epoch;
  f.Label2(14).SetCaption("Tilt!");
  StopPlay(g, run);
  PlaySoundResource(g, kExplosionSound);
  f.frameGameOver.SetVisible(true);
  // The panel blinks; the waits let a new game be opened, which then has the field.
  Delay(g, 1500);
  if (!SameGameAfterWait(g, epoch)) return;
  f.frameGameOver.SetVisible(false);
  Delay(g, 1000);
  if (!SameGameAfterWait(g, epoch)) return;
  f.frameGameOver.SetVisible(true);
  PointOutRecordedRow(g, epoch, run);
}

}  // namespace zbx
