// Catching and missing: the catch geometry, points, lives, sounds, bombs and bonuses.
#include <optional>
#include <tuple>
#include <vector>

#include "game/tick.h"
#include "support/game_fixture.h"

namespace zbx::test {
namespace {

// The basket at its home (left 2640, top 7150). An object is caught when its left lies
// from 120 left of the basket's left to 120 left of its right edge, and its rounded top
// reaches 50 - 240 below the basket's top.
class CatchTest : public GameTest {
 protected:
  void SetUp() override { StartRunning("0", "25"); }
  // A class-1 planet at speed 80 (75 twips per tick) whose tick ends at (left, top).
  void TickTo(std::int16_t left, double top, const std::string& tag = "") {
    Falling(1, left, top - 75, 80, tag);
    GameTick(game);
  }
};

TEST_F(CatchTest, CatchAndMissAtTheirExactBoundaries) {
  struct Row {
    double basketLeft;
    std::int16_t left;
    double top;
    const char* tag;
    const char* shown;  // score/lives afterwards
  };
  const double home = Form1::kBasketHome.left;
  const auto first = static_cast<std::int16_t>(home - 120);
  const auto last = static_cast<std::int16_t>(home + Form1::kBasketHome.width - 120);
  const double reach = Form1::kBasketHome.top + 50 - 240;
  const Row rows[] = {
      {home, static_cast<std::int16_t>(first - 1), 7000, "", "0/25"}, {home, first, 7000, "", "5/25"},
      {home, last, 7000, "", "5/25"},       {home, static_cast<std::int16_t>(last + 1), 7000, "", "0/25"},
      {home, 3000, reach - 1, "", "0/25"},  {home, 3000, reach, "", "5/25"},
      {home + 0.5, first, 7000, "", "5/25"},  // the basket's left rounds to 2640 (ties to even)
      {home + 1.5, static_cast<std::int16_t>(first + 1), 7000, "", "0/25"},  // ... and to 2642
      {home, 3000, 7950, "", "5/25"},       // past the bottom, but the catch is tried first
      {home, 0, 7904, "", "0/25"},          {home, 0, 7905, "", "0/24"},  {home, 0, 8000, "BOOM", "0/24"},
      {home, 0, 8000, "BONUS", "0/24"},
  };
  for (const Row& r : rows) {
    StartRunning("0", "25");
    form.picBasket.SetLeft(r.basketLeft);
    TickTo(r.left, r.top, r.tag);
    EXPECT_EQ(Shown(), r.shown) << r.basketLeft << " " << r.left << " " << r.top;
    EXPECT_EQ(game.s.LaunchPending, ToFlag(Shown() != "0/25")) << "a new object after a catch or miss";
  }
  EXPECT_EQ(platform.playedIds, std::vector<int>(5, 1)) << "catches sound, misses are silent";
}

TEST_F(CatchTest, LivesShowRedAtTenOrFewerAndTheLastMissEndsTheGame) {
  const std::tuple<const char*, const char*, const char*, Rgb> rows[] = {
      {"11", "", "10", palette::kRed}, {"9", "BONUS", "10", palette::kRed}, {"10", "BONUS", "11", palette::kGreen}};
  for (const auto& [before, tag, after, colour] : rows) {
    const bool bonus = std::string(tag) == "BONUS";
    form.lblLifes.SetCaption(before);
    form.lblLifes.SetForeColor(bonus ? palette::kRed : palette::kGreen);
    TickTo(bonus ? 3000 : 0, bonus ? 7000 : 8000, tag);
    EXPECT_EQ(form.lblLifes.Caption(), after);
    EXPECT_EQ(form.lblLifes.ForeColor(), colour) << before << " " << tag;
  }
  EXPECT_EQ(platform.playedIds, std::vector<int>(2, 2)) << "the bonus sound";
  // The last loss, or one with no lives left, shows none and ends the game.
  for (const char* lifes : {"1", "0"}) {
    StartRunning("0", lifes);
    TickTo(0, 8000);
    EXPECT_EQ(form.lblLifes.Caption(), "0") << lifes;
    EXPECT_EQ(game.s.GameRunning, kFalse) << lifes;
    EXPECT_TRUE(form.frameGameOver.Visible()) << lifes;
    EXPECT_EQ(game.s.LaunchPending, kFalse) << lifes;
  }
}

TEST_F(CatchTest, PlanetScoresSixLessItsClassAndNothingIsHeardWithSoundOff) {
  for (std::int16_t cls = 1; cls <= 5; ++cls) {
    form.lblScore.SetCaption("10");
    Falling(cls, 3000, 7000, 5 * cls);  // falls by 0
    GameTick(game);
    EXPECT_EQ(form.lblScore.Caption(), std::to_string(16 - cls));
  }
  platform.playedIds.clear();
  game.s.SoundOn = kFalse;
  for (const char* tag : {"", "BONUS", "BOOM"}) TickTo(3000, 7000, tag);
  EXPECT_TRUE(platform.playedIds.empty());
}

// The best score is beaten only by more; the ceiling tilts without a catch sound and
// without paying the bonus.
TEST_F(CatchTest, BestScoreIsBeatenOnlyByMoreAndTheCeilingTilts) {
  form.txtName.SetText(" Ann ");
  form.lblHS.SetCaption("200  (quandrovix)");
  form.lblScore.SetCaption("195");
  TickTo(3000, 7000);  // 200 equals the best: not beaten
  EXPECT_EQ(form.lblHS.Caption(), "200  (quandrovix)");
  TickTo(3000, 7000);
  EXPECT_EQ(game.s.HighScoreBeaten, kTrue);
  EXPECT_EQ(form.lblHS.Caption(), "205 ( Ann )");
  platform.playedIds.clear();
  form.lblScore.SetCaption("99997");
  TickTo(3000, 7000, "BONUS");  // 5 points would make 100002
  EXPECT_EQ(Shown(), "99999/25");
  EXPECT_EQ(form.Label2(14).Caption(), "Tilt!");
  EXPECT_EQ(game.s.GameRunning, kFalse);
  EXPECT_EQ(platform.playedIds, std::vector<int>{3}) << "only the tilt sound";
  EXPECT_EQ(game.s.LaunchPending, kFalse);
}

TEST_F(CatchTest, BombAtTheLastLifeExplodesThenEndsTheGame) {
  form.lblLifes.SetCaption("1");
  const auto seen = [&] {
    return std::tuple{form.lblLifes.Caption(), form.lblLifes.ForeColor(), form.picPlanet.GetPicture(),
                      form.picPlanet.Top(), platform.playedIds};
  };
  std::optional<decltype(seen())> inWait;
  platform.onDoEvents = [&] { inWait = inWait ? inWait : seen(); };
  const double start = platform.now;
  TickTo(3000, 7000, "BOOM");
  // During the wait: "0" still green (red only after it), the explosion, its sound.
  EXPECT_EQ(inWait, std::tuple(std::string("0"), palette::kGreen, form.imlPlanets.ListImage(15), 6840.0,
                               std::vector<int>{3}));
  EXPECT_GT(platform.now - start, 0.2) << "the 700 ms wait (whole-second rounding)";
  EXPECT_EQ(form.lblLifes.ForeColor(), palette::kRed);
  EXPECT_EQ(game.s.GameRunning, kFalse);
  EXPECT_TRUE(form.frameGameOver.Visible());
  EXPECT_EQ(form.lblScore.Caption(), "5") << "a caught bomb still scores";
}

TEST_F(CatchTest, UnlimitedLivesShowDoubleZeroAndCountAHundred) {
  game.s.CheatsEnabled = kTrue;
  game.s.CheatUnlimitedLifes = kTrue;
  for (const char* tag : {"", "BOOM", "BONUS"}) {
    form.lblLifes.SetCaption("00");
    const bool missed = std::string(tag).empty();
    TickTo(missed ? 0 : 3000, missed ? 8000 : 7000, tag);
    EXPECT_EQ(form.lblLifes.Caption(), "00") << tag;
    EXPECT_EQ(form.lblLifes.ForeColor(), palette::kYellow) << tag;
    EXPECT_EQ(game.s.LifesLeft, 100) << tag;
    EXPECT_EQ(game.s.GameRunning, kTrue) << tag;
  }
}

}  // namespace
}  // namespace zbx::test
