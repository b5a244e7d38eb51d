#include "game/end_of_game.h"

#include <string>

#include "game/delay.h"
#include "game/rules.h"
#include "game/sound.h"
#include "scores/scoreboard.h"

namespace zbx {
namespace {

using namespace rules;

// Runs one step of GameOver; a step that fails is skipped silently.
template <typename Step>
void Attempt(Step&& step) noexcept {
  try {
    step();
  } catch (...) {
  }
}

void CentreBasket(Game& g) {
  Control& basket = g.form.picBasket;
  basket.SetLeft(g.form.ScaleWidth() / 2 - basket.Width() / 2);
}

void ColourRecordedRow(Game& g) {
  const int place = g.s.RecordedPlace;
  g.form.lblHSName(place).SetForeColor(kRecordedRow);
  g.form.lblHSScore(place).SetForeColor(kRecordedRow);
  g.form.lblHSPlace(place).SetForeColor(kRecordedRow);
}

void WhiteRow(Game& g, int place) {
  g.form.lblHSName(place).SetForeColor(palette::kWhite);
  g.form.lblHSScore(place).SetForeColor(palette::kWhite);
  g.form.lblHSPlace(place).SetForeColor(palette::kWhite);
}

// The explosion of the last bomb lets events run, and one may hold the game still
// (Space, help, the scoreboard). The game is over all the same: no pause is left behind
// for it, and no paused panel over the end-of-game panel.
void DropPause(Game& g) {
  g.s.Paused = kFalse;
  g.form.framePaused.SetVisible(false);
  g.form.lblPause.SetCaption("Pause (Space)");
}

void DisableGameButtons(Game& g) {
  g.form.lblStart.SetEnabled(false);
  g.form.lblPause.SetEnabled(false);
  g.form.lblNew.SetEnabled(true);
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
  Form1& f = g.form;
  Attempt([&] { f.timCounter.SetEnabled(false); });
  Attempt([&] { g.s.GameRunning = kFalse; });
  Attempt([&] { DropPause(g); });
  Attempt([&] { RecordFinalScore(g); });
  Attempt([&] { f.lblStart.SetEnabled(false); });
  Attempt([&] { f.lblPause.SetEnabled(false); });
  Attempt([&] { f.lblNew.SetEnabled(true); });
  Attempt([&] { f.picPlanet.SetTop(kLaunchTop); });
  Attempt([&] { CentreBasket(g); });
  Attempt([&] { f.Label2(14).SetCaption("Game Over"); });
  Attempt([&] { f.frameGameOver.SetVisible(true); });
  if (g.s.ScoreRecorded != kTrue) return;
  const int place = g.s.RecordedPlace;
  Attempt([&] { f.lblHSName(place).SetForeColor(kRecordedRow); });
  Attempt([&] { f.lblHSScore(place).SetForeColor(kRecordedRow); });
  Attempt([&] { f.lblHSPlace(place).SetForeColor(kRecordedRow); });
  const auto epoch = g.epoch;
  Attempt([&] { Delay(g, 2000); });
  if (!SameGameAfterWait(g, epoch)) {  // a new game was opened during the wait
    Attempt([&] { WhiteRow(g, place); });
    return;
  }
  Attempt([&] { f.frameGameOver.SetVisible(false); });
  Attempt([&] { ShowScoreboard(g); });
}

void Tilt(Game& g) {
  Form1& f = g.form;
  const auto epoch = g.epoch;
  f.Label2(14).SetCaption("Tilt!");
  g.s.GameRunning = kFalse;
  f.timCounter.SetEnabled(false);
  // Before the blink, whose waits let a new game or a kill happen.
  RecordFinalScore(g);
  DisableGameButtons(g);
  f.picPlanet.SetTop(kLaunchTop);
  PlaySoundResource(g, kExplosionSound);
  f.picPlanet.SetTop(kLaunchTop);
  CentreBasket(g);
  f.frameGameOver.SetVisible(true);
  Delay(g, 1500);
  if (!SameGameAfterWait(g, epoch)) return;  // a new game is being prepared
  f.frameGameOver.SetVisible(false);
  Delay(g, 1000);
  if (!SameGameAfterWait(g, epoch)) return;
  f.frameGameOver.SetVisible(true);
  if (g.s.ScoreRecorded != kTrue) return;
  ColourRecordedRow(g);
  Delay(g, 2000);
  if (!SameGameAfterWait(g, epoch)) {
    WhiteRow(g, g.s.RecordedPlace);
    return;
  }
  f.frameGameOver.SetVisible(false);
  ShowScoreboard(g);
}

}  // namespace zbx
