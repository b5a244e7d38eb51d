#pragma once
// A game on the window model with the scripted platform; GameTest drives the engine's
// procedures directly.
#include <gtest/gtest.h>

#include <string>

#include "game/game.h"
#include "game/rules.h"
#include "scores/table_text.h"
#include "support/fake_platform.h"
#include "window/form1.h"

namespace zbx::test {

class GameTest : public ::testing::Test {
 protected:
  GameTest() {
    game.s.HighScores = DefaultHighScores();
    game.s.SoundOn = kTrue;
  }

  // The state right after Start of a new game with the given captions: the next tick
  // launches.
  void StartRunning(const std::string& score = "0", const std::string& lifes = "25") {
    ++game.epoch;  // as the new-game panel before it does
    form.lblScore.SetCaption(score);
    form.lblLifes.SetCaption(lifes);
    form.lblStart.SetEnabled(false);
    game.s.GameRunning = kTrue;
    game.s.LaunchPending = kTrue;
    form.timCounter.SetEnabled(true);
  }

  // In a running game, an object already falling (no launch due): class, column, top and
  // speed as given.
  void Falling(std::int16_t planetClass, std::int16_t left, double top, std::int32_t speed,
               const std::string& tag = "") {
    game.s.LaunchPending = kFalse;
    game.s.PlanetClass = planetClass;
    game.s.ObjectLeft = left;
    game.s.Speed = speed;
    game.s.LifesLeft = static_cast<std::int16_t>(std::stoi(form.lblLifes.Caption()));
    form.picPlanet.SetPicture(PlanetImage(1));
    form.picPlanet.Move(left, top);
    form.picPlanet.SetTag(tag);
  }

  // The uniform draw that makes RandomBetween(low, high) give value.
  static double DrawFor(int value, int low, int high) { return (value - low + 0.5) / (high - low + 1); }
  static constexpr int kWidestColumn = 6255 - 480;  // client width less the planet's

  // Queues the draws of one launch: the roll (and its re-roll when it is 5..35), the
  // image and the column.
  void QueueLaunch(int roll, int image, int column, int reroll = 10) {
    platform.draws.push_back(DrawFor(roll, 1, 100));
    if (roll >= 5 && roll <= 35) platform.draws.push_back(DrawFor(reroll, 5, 15));
    platform.draws.push_back(DrawFor(image, 1, 14));
    platform.draws.push_back(DrawFor(column, 0, kWidestColumn));
  }

  std::string Shown() const { return form.lblScore.Caption() + "/" + form.lblLifes.Caption(); }

  Form1 form;
  FakePlatform platform;
  Game game{form, platform};
};

}  // namespace zbx::test
