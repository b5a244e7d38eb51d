// The launch of a falling object: its random values, the speed formula, the fall.
#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

#include "game/random_between.h"
#include "game/tick.h"
#include "platform/random.h"
#include "support/game_fixture.h"

namespace zbx::test {
namespace {

using LaunchTest = GameTest;

TEST_F(LaunchTest, FirstTickOfAGameLaunchesFromTheTopAndFallsAtOnce) {
  StartRunning();
  QueueLaunch(50, 13, 1000);  // image 13 is a class-5 planet
  GameTick(game);

  EXPECT_EQ(game.s.LaunchPending, kFalse);
  EXPECT_EQ(game.s.TransformRoll, 50);
  EXPECT_EQ(form.picPlanet.GetPicture(), form.imlPlanets.ListImage(13));
  EXPECT_EQ(form.picPlanet.Tag(), "");
  EXPECT_EQ(game.s.PlanetClass, 5);
  EXPECT_EQ(game.s.ObjectLeft, 1000);
  EXPECT_EQ(form.picPlanet.Left(), 1000);
  EXPECT_EQ(game.s.Speed, 80);  // 0 points and 25 lives give 50, raised to 80
  EXPECT_EQ(form.lblSpeed.Caption(), "200 m/h");
  EXPECT_EQ(game.s.LifesLeft, 25);
  EXPECT_EQ(form.picPlanet.Top(), 840 + 80 - 25);  // the launch tick moves it too
}

TEST_F(LaunchTest, ColumnReachesBothEdges) {
  StartRunning();
  platform.draws = {0.5, 0.5, 0.0};
  GameTick(game);
  EXPECT_EQ(game.s.ObjectLeft, 0);

  StartRunning();
  platform.draws = {0.5, 0.5, std::nextafter(1.0, 0.0)};
  GameTick(game);
  EXPECT_EQ(game.s.ObjectLeft, kWidestColumn);  // flush with the right edge
  EXPECT_EQ(form.picPlanet.Left() + form.picPlanet.Width(), form.ScaleWidth());
}

TEST_F(LaunchTest, RollsFrom5To35AreRolledAgainBetween5And15) {
  StartRunning();
  QueueLaunch(20, 1, 0, 13);
  GameTick(game);
  EXPECT_EQ(game.s.TransformRoll, 13);

  StartRunning();
  QueueLaunch(36, 1, 0);
  GameTick(game);
  EXPECT_EQ(game.s.TransformRoll, 36);

  StartRunning();
  QueueLaunch(4, 1, 0);
  GameTick(game);
  EXPECT_EQ(game.s.TransformRoll, 4);
}

TEST_F(LaunchTest, SpeedFollowsScoreAndLivesLostWithinItsLimits) {
  struct Case {
    const char* score;
    const char* lifes;
    int speed;
  };
  const std::vector<Case> cases = {
      {"0", "25", 80},     // 50, raised to the minimum
      {"30", "25", 80},    // exactly 80
      {"100", "25", 150},  // score + 2 x lives lost + 50
      {"100", "20", 160},  // five lives lost
      {"0", "40", 80},     // more lives than at the start
      {"400", "25", 450},
      {"430", "25", 480},  // exactly the maximum
      {"500", "25", 480},  // 550, lowered to the maximum
      {"99998", "1", 480},
      {"50", "00", 150},  // the unlimited-lives caption reads as 0 lives
  };
  for (const Case& c : cases) {
    StartRunning(c.score, c.lifes);
    QueueLaunch(50, 1, 0);
    GameTick(game);
    EXPECT_EQ(game.s.Speed, c.speed) << c.score << " points, " << c.lifes << " lives";
    EXPECT_EQ(form.lblSpeed.Caption(), std::to_string(c.speed + 120) + " m/h");
  }
}

TEST_F(LaunchTest, SpeedCheatsOverrideTheFormulaOnlyWhenUnlocked) {
  game.s.CheatSlowMotion = kTrue;
  StartRunning("300", "25");
  QueueLaunch(50, 1, 0);
  GameTick(game);
  EXPECT_EQ(game.s.Speed, 350) << "locked cheats do nothing";

  game.s.CheatsEnabled = kTrue;
  StartRunning("300", "25");
  QueueLaunch(50, 1, 0);
  GameTick(game);
  EXPECT_EQ(game.s.Speed, 80);
  EXPECT_EQ(form.lblSpeed.Caption(), "200 m/h");

  game.s.CheatSlowMotion = kFalse;
  game.s.CheatSetSpeed = kTrue;
  game.s.CheatSpeedValue = 600;
  StartRunning("0", "25");
  QueueLaunch(50, 1, 0);
  GameTick(game);
  EXPECT_EQ(game.s.Speed, 480);
  EXPECT_EQ(form.lblSpeed.Caption(), "600 m/h");
}

TEST_F(LaunchTest, FallPerTickIsSpeedLessFiveTimesTheClass) {
  Falling(5, 0, 2000, 80);
  GameTick(game);
  EXPECT_EQ(form.picPlanet.Top(), 2055);
  EXPECT_EQ(form.picPlanet.Left(), 0);

  Falling(1, 0, 2000, 480);
  GameTick(game);
  EXPECT_EQ(form.picPlanet.Top(), 2475);
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

double Correlation(const std::vector<double>& x, const std::vector<double>& y) {
  const double n = static_cast<double>(x.size());
  double sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0;
  for (std::size_t i = 0; i < x.size(); ++i) {
    sx += x[i];
    sy += y[i];
    sxx += x[i] * x[i];
    syy += y[i] * y[i];
    sxy += x[i] * y[i];
  }
  return (n * sxy - sx * sy) / std::sqrt((n * sxx - sx * sx) * (n * syy - sy * sy));
}

TEST(RandomLaunch, DrawsWithinOneClockReadingAreIndependent) {
  Form1 form;
  MixingPlatform platform;
  Game game{form, platform};
  form.lblScore.SetCaption("0");
  form.lblLifes.SetCaption("25");
  form.picBasket.SetLeft(-100000);  // never catches
  std::vector<double> roll, cls, column;
  for (int i = 0; i < 20000; ++i) {
    game.s.LaunchPending = kTrue;
    GameTick(game);
    roll.push_back(game.s.TransformRoll);
    cls.push_back(game.s.PlanetClass);
    column.push_back(game.s.ObjectLeft);
  }
  // Drawn independently, 20000 pairs correlate by about 0.007 at random.
  EXPECT_LT(std::abs(Correlation(cls, column)), 0.03);
  EXPECT_LT(std::abs(Correlation(roll, cls)), 0.03);
  EXPECT_LT(std::abs(Correlation(roll, column)), 0.03);
  // And launches differ from each other although the clock stood still.
  std::vector<double> sorted = column;
  std::sort(sorted.begin(), sorted.end());
  const auto distinct = std::unique(sorted.begin(), sorted.end()) - sorted.begin();
  EXPECT_GT(distinct, 5000);
  const double mean = std::accumulate(cls.begin(), cls.end(), 0.0) / static_cast<double>(cls.size());
  EXPECT_NEAR(mean, (2 * 1 + 1 * 2 + 2 * 3 + 7 * 4 + 2 * 5) / 14.0, 0.05);
}

}  // namespace
}  // namespace zbx::test
