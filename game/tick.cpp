#include "game/tick.h"

#include <algorithm>
#include <string>

#include "game/captions.h"
#include "game/delay.h"
#include "game/end_of_game.h"
#include "game/random_between.h"
#include "game/rules.h"
#include "game/sound.h"
#include "platform/number_text.h"
#include "platform/rounding.h"

namespace zbx {
namespace {

using namespace rules;

bool Cheat(const ModGame& s, Flag cheat) { return cheat == kTrue && s.CheatsEnabled == kTrue; }

void PlayTickSound(Game& g, int id) {
  if (g.s.SoundOn == kTrue) PlaySoundResource(g, static_cast<std::int16_t>(id));
}

std::int16_t DrawTransformRoll(Game& g) {
  std::int16_t roll = RandomBetween(g, 1, 100);
  if (roll >= 5 && roll <= 35) roll = RandomBetween(g, 5, 15);
  return roll;
}

std::int32_t LaunchSpeed(const Game& g) {
  const std::int64_t score = ScoreFromCaption(g.form);
  const std::int64_t lives = LifesFromCaption(g.form);
  std::int64_t speed = (50 - 2 * lives) + score + 50;
  speed = std::max<std::int64_t>(speed, kMinSpeed);
  speed = std::min<std::int64_t>(speed, kMaxSpeed);
  std::int32_t result = static_cast<std::int32_t>(speed);
  if (Cheat(g.s, g.s.CheatSlowMotion)) result = kMinSpeed;
  if (Cheat(g.s, g.s.CheatSetSpeed)) result = g.s.CheatSpeedValue - kShownSpeedOffset;
  return result;
}

void Launch(Game& g) {
  Control& planet = g.form.picPlanet;
  g.s.TransformRoll = DrawTransformRoll(g);
  planet.SetTop(kLaunchTop);
  planet.SetTag("");
  const std::int16_t image = RandomBetween(g, 1, kPlanetImages);
  planet.SetPicture(g.form.imlPlanets.ListImage(image));
  g.s.PlanetClass = ParseWholeNumber<std::int16_t>(g.form.imlPlanets.Tag(image)).value_or(0);
  const auto room = RoundTo<std::int16_t>(g.form.ScaleWidth() - planet.Width());
  g.s.ObjectLeft = RandomBetween(g, 0, room);
  planet.SetLeft(g.s.ObjectLeft);
  g.s.Speed = LaunchSpeed(g);
  g.form.lblSpeed.SetCaption(std::to_string(g.s.Speed + kShownSpeedOffset) + " m/h");
  g.s.LifesLeft = LifesFromCaption(g.form);
  g.s.LaunchPending = kFalse;
}

void Transform(Game& g) {
  const std::int16_t roll = g.s.TransformRoll;
  const bool bombRoll = roll == 5 || roll == 13;
  const bool bonusRoll = roll == 9 || roll == 15;
  if (!bombRoll && !bonusRoll) return;
  g.form.picPlanet.SetPicture(g.form.imlPlanets.ListImage(kTransformedImage));
  bool bomb = bombRoll;
  if (Cheat(g.s, g.s.CheatOnlyLifes)) bomb = false;
  if (Cheat(g.s, g.s.CheatOnlyBombs)) bomb = true;
  g.form.picPlanet.SetTag(bomb ? "BOOM" : "BONUS");
}

void ShowLifesLeft(Game& g) { g.form.lblLifes.SetCaption(std::to_string(g.s.LifesLeft)); }

// One life less, shown; never fewer than none, so the end test on 0 cannot be passed
// by (a game that somehow had no lives left ends at its next loss).
void LoseLife(Game& g) {
  --g.s.LifesLeft;
  if (UnlimitedLifesActive(g.s)) {
    ShowUnlimitedLifes(g);
    return;
  }
  if (g.s.LifesLeft < 0) g.s.LifesLeft = 0;
  ShowLifesLeft(g);
}

void CaughtBonus(Game& g) {
  if (UnlimitedLifesActive(g.s)) {
    ShowUnlimitedLifes(g);
  } else {
    ++g.s.LifesLeft;
    if (g.s.LifesLeft > kRedLifesLimit) g.form.lblLifes.SetForeColor(palette::kGreen);
    ShowLifesLeft(g);
  }
  PlayTickSound(g, kBonusSound);
}

void CaughtBomb(Game& g) {
  PlayTickSound(g, kExplosionSound);
  LoseLife(g);
  g.form.picPlanet.SetPicture(g.form.imlPlanets.ListImage(kExplosionImage));
  g.form.picPlanet.SetTop(kExplosionTop);
  // The last life is gone: the game is decided now, and its score goes into the table
  // before the wait lets other events run (a new game, a kill that saves the table).
  const bool lost = g.s.LifesLeft == 0;
  if (lost) RecordFinalScore(g);
  const auto epoch = g.epoch;
  Delay(g, 700);
  if (!SameGameAfterWait(g, epoch)) return;  // abandoned or ended during the wait
  if (g.s.LifesLeft <= kRedLifesLimit) g.form.lblLifes.SetForeColor(palette::kRed);
  if (lost) GameOver(g);
}

void Caught(Game& g) {
  std::int64_t score = static_cast<std::int64_t>(ScoreFromCaption(g.form)) + (6 - g.s.PlanetClass);
  score = std::min<std::int64_t>(score, kMaxScore);
  g.form.lblScore.SetCaption(std::to_string(score));
  if (score > g.s.HighScores(1).Score) g.s.HighScoreBeaten = kTrue;
  if (g.s.HighScoreBeaten == kTrue)
    g.form.lblHS.SetCaption(std::to_string(score) + " (" + g.form.txtName.Text() + ")");
  if (score == kMaxScore) {
    Tilt(g);
    return;
  }
  g.s.LaunchPending = kTrue;
  const std::string& tag = g.form.picPlanet.Tag();
  if (tag == "BONUS")
    CaughtBonus(g);
  else if (tag == "BOOM")
    CaughtBomb(g);
  else
    PlayTickSound(g, kCatchSound);
}

void Missed(Game& g) {
  LoseLife(g);
  if (g.s.LifesLeft <= kRedLifesLimit) g.form.lblLifes.SetForeColor(palette::kRed);
  if (g.s.LifesLeft == 0) {
    GameOver(g);
    return;
  }
  g.s.LaunchPending = kTrue;
}

}  // namespace

void GameTick(Game& g) {
  if (g.s.LaunchPending == kTrue) Launch(g);

  Control& planet = g.form.picPlanet;
  planet.SetTop(planet.Top() + g.s.Speed - 5.0 * g.s.PlanetClass);

  const auto top = RoundTo<std::int16_t>(planet.Top());
  const auto basketLeft = RoundTo<std::int16_t>(g.form.picBasket.Left());
  const auto basketRight = RoundTo<std::int16_t>(basketLeft + g.form.picBasket.Width());

  if (top >= g.form.ScaleHeight() / 2) Transform(g);

  const auto reach = static_cast<std::int16_t>(top + kObjectDepth);
  const auto leftLimit = static_cast<std::int16_t>(basketLeft - kSideOffset);
  const auto rightLimit = static_cast<std::int16_t>(basketRight - kSideOffset);
  const bool caught = g.form.picBasket.Top() + kBasketDepth <= reach && g.s.ObjectLeft <= rightLimit &&
                      g.s.ObjectLeft >= leftLimit;
  if (caught)
    Caught(g);
  else if (top >= g.form.ScaleHeight())
    Missed(g);
}

void timCounter_Timer(Game& g) {
  if (g.tickRunning) return;
  g.tickRunning = true;
  struct Done {
    bool& flag;
    ~Done() { flag = false; }
  } done{g.tickRunning};
  GameTick(g);
}

}  // namespace zbx
