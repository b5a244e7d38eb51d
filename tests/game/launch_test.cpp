// The launch of a falling object, the speed formula, the fall and the transformation.
#include <cmath>
#include <set>
#include <vector>

#include "game/random_between.h"
#include "game/tick.h"
#include "platform/random.h"
#include "support/game_fixture.h"

namespace zbx::test {
namespace {

using LaunchTest = GameTest;

TEST_F(LaunchTest, FirstTickLaunchesFromTheTopAndFallsAtOnce) {
  StartRunning();
  form.picPlanet.SetTag("BOOM");
  QueueLaunch(50, 13, kWidestColumn);  // image 13 is a class-5 planet
  GameTick(game);
  EXPECT_EQ(game.s.LaunchPending, kFalse);
  EXPECT_EQ(game.s.TransformRoll, 50);
  EXPECT_EQ(form.picPlanet.GetPicture(), form.imlPlanets.ListImage(13));
  EXPECT_EQ(form.picPlanet.Tag(), "");
  EXPECT_EQ(game.s.PlanetClass, 5);
  EXPECT_EQ(game.s.ObjectLeft, kWidestColumn);
  EXPECT_EQ(form.picPlanet.Left() + form.picPlanet.Width(), form.ScaleWidth());
  EXPECT_EQ(game.s.LifesLeft, 25);
  EXPECT_EQ(form.picPlanet.Top(), 840 + 80 - 5 * 5);  // Speed less five times the class
}

TEST_F(LaunchTest, RollsFrom5To35AreRolledAgainBetween5And15) {
  for (auto [roll, reroll, kept] : {std::tuple{4, 0, 4}, {5, 13, 13}, {35, 6, 6}, {36, 0, 36}}) {
    StartRunning();
    QueueLaunch(roll, 1, 0, reroll);
    GameTick(game);
    EXPECT_EQ(game.s.TransformRoll, kept) << roll;
  }
}

TEST_F(LaunchTest, SpeedFollowsScoreAndLivesLostWithinItsLimitsUnlessACheatSetsIt) {
  Flag ModGame::*const none = nullptr;
  const std::tuple<const char*, const char*, Flag ModGame::*, Flag, int> cases[] = {
      {"0", "25", none, kFalse, 80},       // 50, raised to the minimum
      {"100", "20", none, kFalse, 160},    // score + 2 x lives lost + 50
      {"430", "25", none, kFalse, 480},    // exactly the maximum
      {"500", "25", none, kFalse, 480},    // lowered to the maximum
      {"99998", "1", none, kFalse, 480},   // a score beyond 16 bits
      {"50", "00", none, kFalse, 150},     // the unlimited-lives caption reads as 0 lives
      {"300", "25", &ModGame::CheatSlowMotion, kFalse, 350},  // locked cheats do nothing
      {"300", "25", &ModGame::CheatSlowMotion, kTrue, 80},
      {"0", "25", &ModGame::CheatSetSpeed, kTrue, 480},  // SETSPEED 600 shows 600
  };
  game.s.CheatSpeedValue = 600;
  for (const auto& [score, lifes, cheat, unlocked, speed] : cases) {
    game.s.CheatSlowMotion = game.s.CheatSetSpeed = kFalse;
    if (cheat) game.s.*cheat = kTrue;
    game.s.CheatsEnabled = unlocked;
    StartRunning(score, lifes);
    QueueLaunch(50, 1, 0);
    GameTick(game);
    EXPECT_EQ(game.s.Speed, speed) << score << " points, " << lifes << " lives";
    EXPECT_EQ(form.lblSpeed.Caption(), std::to_string(speed + 120) + " m/h");
  }
}

TEST_F(LaunchTest, EveryDrawReseedsFromTheTimeOfDayAndStaysInRange) {
  platform.now = 4321.25;
  platform.draws = {0.0, std::nextafter(1.0, 0.0), 0.5};
  EXPECT_EQ(RandomBetween(game, -3, 3), -3);
  EXPECT_EQ(RandomBetween(game, -3, 3), 3);
  EXPECT_EQ(RandomBetween(game, 7, 7), 7);
  EXPECT_EQ(platform.seeds, (std::vector<double>{4321.25, 4321.25, 4321.25}));
}

// The real generator behind a frozen clock: the launch draws four values within one
// clock reading, again and again; they must neither repeat nor depend on each other.
class MixingPlatform : public FakePlatform {
 public:
  void Randomize(double seed) override { random.Randomize(seed); }
  double Rnd() override { return random.Rnd(); }
  MixingRandom random;
};

TEST(RandomLaunch, DrawsWithinOneClockReadingAreIndependent) {
  Form1 form;
  MixingPlatform platform;
  Game game{form, platform};
  form.lblScore.SetCaption("0");
  form.lblLifes.SetCaption("25");
  form.picBasket.SetLeft(-100000);  // never catches
  std::set<std::pair<int, int>> classAndColumn;
  double classes = 0;
  for (int i = 0; i < 20000; ++i) {
    game.s.LaunchPending = kTrue;
    GameTick(game);
    classAndColumn.insert({game.s.PlanetClass, game.s.ObjectLeft / 1000});
    classes += game.s.PlanetClass;
  }
  EXPECT_EQ(classAndColumn.size(), 5u * 6u) << "every class in every column";
  EXPECT_NEAR(classes / 20000, (2 * 1 + 1 * 2 + 2 * 3 + 7 * 4 + 2 * 5) / 14.0, 0.05);
}

// One tick of a class-1 planet at speed 80 (75 twips per tick) ending at top, far from
// the basket, with the given roll; gives the tag it then carries.
class TransformTest : public GameTest {
 protected:
  std::string TagAfterTickTo(double top, std::int16_t roll) {
    Falling(1, 0, top - 75, 80);
    game.s.TransformRoll = roll;
    GameTick(game);
    return form.picPlanet.Tag();
  }
};

TEST_F(TransformTest, LowerHalfTurnsRolls5And13IntoBombsAnd9And15IntoBonuses) {
  // Half of 7905 is 3952.5; the top is rounded first, ties to even.
  EXPECT_EQ(TagAfterTickTo(3952, 5), "");
  EXPECT_EQ(form.picPlanet.GetPicture(), form.imlPlanets.ListImage(1));
  EXPECT_EQ(TagAfterTickTo(3952.5, 5), "");
  EXPECT_EQ(TagAfterTickTo(3953, 5), "BOOM");
  EXPECT_EQ(form.picPlanet.GetPicture(), form.imlPlanets.ListImage(16));
  for (auto [roll, tag] : {std::pair{13, "BOOM"}, {9, "BONUS"}, {15, "BONUS"}, {6, ""}, {10, ""}, {36, ""}})
    EXPECT_EQ(TagAfterTickTo(5000, static_cast<std::int16_t>(roll)), tag) << roll;
}

TEST_F(TransformTest, CheatsChooseTheKindOnlyWhenUnlocked) {
  game.s.CheatOnlyLifes = kTrue;
  EXPECT_EQ(TagAfterTickTo(5000, 5), "BOOM") << "locked";
  game.s.CheatsEnabled = kTrue;
  EXPECT_EQ(TagAfterTickTo(5000, 13), "BONUS");
  EXPECT_EQ(TagAfterTickTo(5000, 10), "") << "cheats do not change the chance";
  game.s.CheatOnlyLifes = kFalse;
  game.s.CheatOnlyBombs = kTrue;
  EXPECT_EQ(TagAfterTickTo(5000, 9), "BOOM");
}

}  // namespace
}  // namespace zbx::test
