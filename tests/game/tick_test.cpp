// A tick of the game: the launch of a falling object, the speed formula, the
// transformation, catching and missing with their points, lives and sounds; and the
// cheat console's commands that change them.
#include <cmath>
#include <optional>
#include <tuple>
#include <vector>

#include "game/cheats.h"
#include "game/tick.h"
#include "support/game_fixture.h"

namespace zbx::test {
namespace {

using namespace std::string_literals;

// The basket at its home (left 2640, top 7150). An object is caught when its left lies
// from 120 left of the basket's left to 120 left of its right edge, and its rounded top
// reaches 50 - 240 below the basket's top.
class TickTest : public GameTest {
 protected:
  void SetUp() override { StartRunning("0", "25"); }
  // A class-1 planet at speed 80 (75 twips per tick) whose tick ends at (left, top).
  void TickTo(std::int16_t left, double top, const std::string& tag = "") {
    Falling(1, left, top - 75, 80, tag);
    GameTick(game);
  }
  void PressInConsole(std::int16_t key) {
    std::int16_t shift = 0;
    txtCheat_KeyDown(game, key, shift);
  }
  // Types text into the console and presses Enter; true when the box was cleared (a
  // command was taken).
  bool Enter(const std::string& text) {
    form.txtCheat.SetText(text);
    PressInConsole(13);
    return form.txtCheat.Text().empty();
  }
  std::vector<Flag> Cheats() const {
    const ModGame& s = game.s;
    return {s.CheatOnlyLifes, s.CheatOnlyBombs, s.CheatUnlimitedLifes, s.CheatSlowMotion, s.CheatSetSpeed};
  }
  // The tag a planet far from the basket carries after a tick to top with the given roll.
  std::string TagAfterTickTo(double top, std::int16_t roll) {
    Falling(1, 0, top - 75, 80);
    game.s.TransformRoll = roll;
    GameTick(game);
    return form.picPlanet.Tag();
  }
};

TEST_F(TickTest, FirstTickLaunchesFromTheTopAndFallsAtOnce) {
  form.picPlanet.SetTag("BOOM");
  QueueLaunch(50, 13, kWidestColumn);  // image 13 is a class-5 planet
  GameTick(game);
  EXPECT_EQ(std::tuple(game.s.LaunchPending, game.s.TransformRoll, game.s.PlanetClass, game.s.LifesLeft),
            std::tuple(kFalse, 50, 5, 25));
  EXPECT_EQ(std::pair(form.picPlanet.GetPicture(), form.picPlanet.Tag()),
            std::pair(form.imlPlanets.ListImage(13), ""s));
  EXPECT_EQ(form.picPlanet.Left() + form.picPlanet.Width(), form.ScaleWidth());
  EXPECT_EQ(form.picPlanet.Top(), 840 + 80 - 5 * 5);  // Speed less five times the class
  for (auto [roll, reroll, kept] : {std::tuple{4, 0, 4}, {5, 13, 13}, {35, 6, 6}, {36, 0, 36}}) {
    StartRunning();  // rolls from 5 to 35 are rolled again between 5 and 15
    QueueLaunch(roll, 1, 0, reroll);
    GameTick(game);
    EXPECT_EQ(game.s.TransformRoll, kept) << roll;
  }
}

TEST_F(TickTest, SpeedFollowsScoreAndLivesLostWithinItsLimitsUnlessACheatSetsIt) {
  Flag ModGame::*const none = nullptr;
  const std::tuple<const char*, const char*, Flag ModGame::*, Flag, int> cases[] = {
      {"0", "25", none, kFalse, 80},       // 50, raised to the minimum
      {"100", "20", none, kFalse, 160},    // score + 2 x lives lost + 50
      {"430", "25", none, kFalse, 480},    // exactly the maximum
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

// In the lower half rolls 5 and 13 turn into bombs, 9 and 15 into bonuses; unlocked
// cheats choose the kind, not the chance.
TEST_F(TickTest, TheLowerHalfTransformsSomeRollsAsTheCheatsChoose) {
  // Half of 7905 is 3952.5; the top is rounded first, ties to even.
  EXPECT_EQ(TagAfterTickTo(3952.5, 5), "");
  EXPECT_EQ(form.picPlanet.GetPicture(), form.imlPlanets.ListImage(1));
  EXPECT_EQ(TagAfterTickTo(3953, 5), "BOOM");
  EXPECT_EQ(form.picPlanet.GetPicture(), form.imlPlanets.ListImage(16));
  for (auto [roll, tag] : {std::pair{13, "BOOM"}, {9, "BONUS"}, {15, "BONUS"}, {6, ""}, {10, ""}, {36, ""}})
    EXPECT_EQ(TagAfterTickTo(5000, static_cast<std::int16_t>(roll)), tag) << roll;
  game.s.CheatOnlyLifes = kTrue;
  EXPECT_EQ(TagAfterTickTo(5000, 5), "BOOM") << "locked";
  game.s.CheatsEnabled = kTrue;
  EXPECT_EQ(TagAfterTickTo(5000, 13), "BONUS");
  EXPECT_EQ(TagAfterTickTo(5000, 10), "");
  game.s.CheatOnlyLifes = kFalse;
  game.s.CheatOnlyBombs = kTrue;
  EXPECT_EQ(TagAfterTickTo(5000, 9), "BOOM");
}

TEST_F(TickTest, CatchAndMissAtTheirExactBoundaries) {
  const double home = Form1::kBasketHome.left;
  const auto first = static_cast<std::int16_t>(home - 120);
  const auto last = static_cast<std::int16_t>(home + Form1::kBasketHome.width - 120);
  const double reach = Form1::kBasketHome.top + 50 - 240;
  // The basket's left, the object's left and top and tag, and score/lives afterwards.
  const std::tuple<double, std::int16_t, double, const char*, const char*> rows[] = {
      {home, static_cast<std::int16_t>(first - 1), 7000, "", "0/25"}, {home, first, 7000, "", "5/25"},
      {home, last, 7000, "", "5/25"},       {home, static_cast<std::int16_t>(last + 1), 7000, "", "0/25"},
      {home, 3000, reach - 1, "", "0/25"},  {home, 3000, reach, "", "5/25"},
      {home + 0.5, first, 7000, "", "5/25"},  // the basket's left rounds to 2640 (ties to even)
      {home + 1.5, static_cast<std::int16_t>(first + 1), 7000, "", "0/25"},  // ... and to 2642
      {home, 3000, 7950, "", "5/25"},       // past the bottom, but the catch is tried first
      {home, 0, 7904, "", "0/25"},          {home, 0, 7905, "", "0/24"},  {home, 0, 8000, "BOOM", "0/24"},
      {home, 0, 8000, "BONUS", "0/24"},
  };
  for (const auto& [basketLeft, left, top, tag, shown] : rows) {
    StartRunning("0", "25");
    form.picBasket.SetLeft(basketLeft);
    TickTo(left, top, tag);
    EXPECT_EQ(Shown(), shown) << basketLeft << " " << left << " " << top;
    EXPECT_EQ(game.s.LaunchPending, ToFlag(Shown() != "0/25")) << "a new object after a catch or miss";
  }
  EXPECT_EQ(platform.playedIds, std::vector<int>(5, 1)) << "catches sound, misses are silent";
}

TEST_F(TickTest, PlanetScoresSixLessItsClassAndNothingIsHeardWithSoundOff) {
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

TEST_F(TickTest, LivesShowRedAtTenOrFewerAndTheLastMissEndsTheGame) {
  const std::tuple<const char*, const char*, const char*, Rgb> rows[] = {
      {"11", "", "10", palette::kRed}, {"9", "BONUS", "10", palette::kRed}, {"10", "BONUS", "11", palette::kGreen}};
  for (const auto& [before, tag, after, colour] : rows) {
    const bool bonus = std::string(tag) == "BONUS";
    form.lblLifes.SetCaption(before);
    form.lblLifes.SetForeColor(bonus ? palette::kRed : palette::kGreen);
    TickTo(bonus ? 3000 : 0, bonus ? 7000 : 8000, tag);
    EXPECT_EQ(std::pair(form.lblLifes.Caption(), form.lblLifes.ForeColor()), std::pair(std::string(after), colour))
        << before << " " << tag;
  }
  EXPECT_EQ(platform.playedIds, std::vector<int>(2, 2)) << "the bonus sound";
  // The last loss, or one with no lives left, shows none and ends the game.
  for (const char* lifes : {"1", "0"}) {
    StartRunning("0", lifes);
    TickTo(0, 8000);
    EXPECT_EQ(
        std::tuple(form.lblLifes.Caption(), game.s.GameRunning, form.frameGameOver.Visible(), game.s.LaunchPending),
        std::tuple("0", kFalse, true, kFalse))
        << lifes;
  }
}

// The best score is beaten only by more; the ceiling tilts without a catch sound and
// without paying the bonus.
TEST_F(TickTest, BestScoreIsBeatenOnlyByMoreAndTheCeilingTilts) {
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
  EXPECT_EQ(std::tuple(Shown(), form.Label2(14).Caption(), game.s.GameRunning, game.s.LaunchPending),
            std::tuple("99999/25", "Tilt!", kFalse, kFalse));
  EXPECT_EQ(platform.playedIds, std::vector<int>{3}) << "only the tilt sound";
}

// A caught bomb at the last life scores, shows the explosion with its sound during a
// wait of 700 ms (whole-second rounding), then shows the lives red and ends the game.
TEST_F(TickTest, BombAtTheLastLifeExplodesThenEndsTheGame) {
  form.lblLifes.SetCaption("1");
  std::optional<std::tuple<Picture, std::vector<int>>> inWait;
  platform.onDoEvents = [&] { inWait = std::tuple{form.picPlanet.GetPicture(), platform.playedIds}; };
  const double start = platform.now;
  TickTo(3000, 7000, "BOOM");
  EXPECT_EQ(inWait, std::tuple(form.imlPlanets.ListImage(15), std::vector<int>{3}));
  EXPECT_GT(platform.now - start, 0.2);
  EXPECT_EQ(std::tuple(Shown(), form.lblLifes.ForeColor(), game.s.GameRunning, form.frameGameOver.Visible()),
            std::tuple("5/0", palette::kRed, kFalse, true));
}

TEST_F(TickTest, UnlimitedLivesShowDoubleZeroAndCountAHundred) {
  game.s.CheatsEnabled = kTrue;
  game.s.CheatUnlimitedLifes = kTrue;
  for (const char* tag : {"", "BOOM", "BONUS"}) {
    form.lblLifes.SetCaption("00");
    const bool missed = std::string(tag).empty();
    TickTo(missed ? 0 : 3000, missed ? 8000 : 7000, tag);
    EXPECT_EQ(std::tuple(form.lblLifes.Caption(), form.lblLifes.ForeColor(), game.s.LifesLeft, game.s.GameRunning),
              std::tuple("00", palette::kYellow, 100, kTrue))
        << tag;
  }
}

// The cheat console: the master code, the command table and SETSPEED's number.
TEST_F(TickTest, OnlyTheMasterCodeUnlocksTheConsoleAndOnlyCommandsAreTaken) {
  form.frameCheat.SetVisible(true);
  form.lblLifes.SetCaption("7");
  for (const char* text : {"ONLYLIFES", " GRAND OLD VORTEX", "GRAND OLD VORTEXX"}) EXPECT_FALSE(Enter(text)) << text;
  EXPECT_EQ(game.s.CheatsEnabled, kFalse);
  EXPECT_TRUE(Enter("grand Old vortex   "));
  EXPECT_TRUE(Enter("GRAND OLD VORTEX")) << "matches again once unlocked";
  for (const char* text : {" ", "ONLYLIFE", " ONLYLIFES", "SLOW MOTION", "SETSPEED X"})
    EXPECT_FALSE(Enter(text)) << text;
  EXPECT_EQ(std::tuple(Cheats(), game.s.CheatSpeedValue, form.lblLifes.Caption()),
            std::tuple(std::vector<Flag>(5, kFalse), 0, "7"));
  PressInConsole(27);  // Escape hides the panel and keeps the text
  EXPECT_FALSE(form.frameCheat.Visible());
  EXPECT_EQ(form.txtCheat.Text(), "SETSPEED X");
}

TEST_F(TickTest, EachCommandSelectsExactlyOneCheatAndSetsTheWorkingLives) {
  form.frameCheat.SetVisible(true);
  ASSERT_TRUE(Enter("GRAND OLD VORTEX"));
  const std::tuple<const char*, int, const char*, Rgb> rows[] = {
      {"onlylifes", 0, "25", palette::kGreen},     {"ONLYBOMBS", 1, "25", palette::kGreen},
      {"UNLIMITEDLIFES", 2, "00", palette::kYellow}, {"SLOWMOTION", 3, "25", palette::kGreen},
      {"SETSPEED 300", 4, "25", palette::kGreen},  {"ONLYLIFES ", 0, "25", palette::kGreen}};
  for (const auto& [command, selected, lifes, colour] : rows) {
    form.lblLifes.SetCaption("3");
    form.lblLifes.SetForeColor(palette::kRed);
    EXPECT_TRUE(Enter(command)) << command;
    std::vector<Flag> expected(5, kFalse);
    expected[static_cast<std::size_t>(selected)] = kTrue;
    EXPECT_EQ(std::tuple(Cheats(), form.lblLifes.Caption(), form.lblLifes.ForeColor()),
              std::tuple(expected, lifes, colour))
        << command;
  }
  EXPECT_EQ(game.s.CheatSpeedValue, 300);
  EXPECT_TRUE(form.frameCheat.Visible()) << "stays open";
  // A command during a fall sets the lives the next loss counts from.
  ASSERT_TRUE(Enter("UNLIMITEDLIFES"));
  StartRunning("0", "00");
  QueueLaunch(100, 1, 0);
  GameTick(game);  // the launch reads "00" as no lives
  ASSERT_TRUE(Enter("SLOWMOTION"));
  for (int i = 0; i < 500 && form.lblLifes.Caption() == "25"; ++i) GameTick(game);
  EXPECT_EQ(std::tuple(form.lblLifes.Caption(), game.s.GameRunning), std::tuple("24", kTrue));
}

TEST(SetSpeedValue, ReadsAtMostFourCharactersClampedOrKeepsThePrevious) {
  const std::pair<const char*, std::optional<std::int16_t>> cases[] = {
      {"SETSPEED 450", 450}, {"SETSPEED 90000", 600}, {"SETSPEED 12.5", 200}, {"SETSPEED 599.9", 599},
      {"SETSPEED +450", 450}, {"SETSPEED 25e1", 250}, {"SETSPEED 123e5", 333} /* "123e" is no number */,
      {"SETSPEED 1e10", 333} /* beyond 16 bits */, {"SETSPEED 1e3000", std::nullopt} /* beyond any number */,
      {"SETSPEED ", std::nullopt}, {"SETSPEED 4 5", std::nullopt}, {"SETSPEED 0x10", std::nullopt},
      {"SETSPEED", std::nullopt}, {"SETSPEED450", std::nullopt}, {"SLOWMOTION", std::nullopt}};
  for (const auto& [command, expected] : cases) EXPECT_EQ(SetSpeedValue(command, 333), expected) << command;
}

}  // namespace
}  // namespace zbx::test
