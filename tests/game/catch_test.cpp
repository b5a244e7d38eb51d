// Catching and missing: the catch geometry, points, lives, sounds, bombs and bonuses.
#include "game/tick.h"
#include "support/game_fixture.h"

namespace zbx::test {
namespace {

// The basket at its design place: left 2640, top 7150, 975 wide. An object is caught
// when its left lies in 2520..3495 and its rounded top is at least 6960.
class CatchTest : public GameTest {
 protected:
  void SetUp() override { StartRunning("0", "25"); }
  // A class-1 planet at speed 80 (75 twips per tick) whose tick ends at (left, top).
  void TickTo(std::int16_t left, double top, const std::string& tag = "") {
    Falling(1, left, top - 75, 80, tag);
    GameTick(game);
  }
  bool WasCaught() const { return form.lblScore.Caption() != "0"; }
};

TEST_F(CatchTest, SidewaysBoundariesAreInclusive) {
  for (auto [left, caught] : std::vector<std::pair<std::int16_t, bool>>{
           {2519, false}, {2520, true}, {3000, true}, {3495, true}, {3496, false}}) {
    form.lblScore.SetCaption("0");
    TickTo(left, 7000);
    EXPECT_EQ(WasCaught(), caught) << "left " << left;
  }
}

TEST_F(CatchTest, DepthBoundaryIsInclusive) {
  TickTo(3000, 6959);
  EXPECT_FALSE(WasCaught());
  TickTo(3000, 6960);
  EXPECT_TRUE(WasCaught());
}

TEST_F(CatchTest, BasketPositionIsRoundedBeforeTheTest) {
  form.picBasket.SetLeft(2640.5);  // rounds to 2640: the limit stays 2520
  TickTo(2520, 7000);
  EXPECT_TRUE(WasCaught());
  form.lblScore.SetCaption("0");
  form.picBasket.SetLeft(2641.5);  // rounds to 2642: the limit moves to 2522
  TickTo(2521, 7000);
  EXPECT_FALSE(WasCaught());
}

TEST_F(CatchTest, CatchIsTriedBeforeTheBottom) {
  TickTo(3000, 7950);  // past the bottom edge, but over the basket
  EXPECT_TRUE(WasCaught());
  EXPECT_EQ(form.lblLifes.Caption(), "25");
}

TEST_F(CatchTest, MissCountsFromTheBottomEdgeOn) {
  TickTo(0, 7904);
  EXPECT_EQ(form.lblLifes.Caption(), "25");
  EXPECT_EQ(game.s.LaunchPending, kFalse);

  TickTo(0, 7905);
  EXPECT_EQ(form.lblLifes.Caption(), "24");
  EXPECT_EQ(game.s.LaunchPending, kTrue);
  EXPECT_TRUE(platform.playedIds.empty()) << "a miss is silent";
}

TEST_F(CatchTest, MissedBombOrBonusCostsALifeLikeAPlanet) {
  TickTo(0, 8000, "BOOM");
  EXPECT_EQ(form.lblLifes.Caption(), "24");
  TickTo(0, 8000, "BONUS");
  EXPECT_EQ(form.lblLifes.Caption(), "23");
}

TEST_F(CatchTest, MissLeavingTenOrFewerLivesTurnsRed) {
  form.lblLifes.SetCaption("12");
  TickTo(0, 8000);
  EXPECT_EQ(form.lblLifes.ForeColor(), rules::kGreen);
  TickTo(0, 8000);
  EXPECT_EQ(form.lblLifes.Caption(), "10");
  EXPECT_EQ(form.lblLifes.ForeColor(), rules::kRed);
}

TEST_F(CatchTest, LastLifeMissedEndsTheGame) {
  form.lblLifes.SetCaption("1");
  TickTo(0, 8000);
  EXPECT_EQ(form.lblLifes.Caption(), "0");
  EXPECT_EQ(game.s.GameRunning, kFalse);
  EXPECT_TRUE(form.frameGameOver.Visible());
  EXPECT_EQ(game.s.LaunchPending, kFalse);
}

TEST_F(CatchTest, PlanetScoresSixLessItsClassWithTheCatchSound) {
  for (std::int16_t cls = 1; cls <= 5; ++cls) {
    form.lblScore.SetCaption("10");
    Falling(cls, 3000, 7000, 5 * cls);  // falls by 0
    GameTick(game);
    EXPECT_EQ(form.lblScore.Caption(), std::to_string(10 + 6 - cls));
    EXPECT_EQ(game.s.LaunchPending, kTrue);
  }
  EXPECT_EQ(platform.playedIds, std::vector<int>(5, 1));
  EXPECT_EQ(form.lblLifes.Caption(), "25");
}

TEST_F(CatchTest, SoundSwitchSilencesTheTick) {
  game.s.SoundOn = kFalse;
  TickTo(3000, 7000);
  TickTo(3000, 7000, "BONUS");
  TickTo(3000, 7000, "BOOM");
  EXPECT_TRUE(platform.playedIds.empty());
  EXPECT_EQ(form.lblScore.Caption(), "15");
}

TEST_F(CatchTest, BestScoreIsBeatenOnlyByMore) {
  form.txtName.SetText(" Ann ");
  form.lblHS.SetCaption("200  (quandrovix)");
  form.lblScore.SetCaption("195");
  TickTo(3000, 7000);  // 200 equals the best: not beaten
  EXPECT_EQ(game.s.HighScoreBeaten, kFalse);
  EXPECT_EQ(form.lblHS.Caption(), "200  (quandrovix)");
  TickTo(3000, 7000);
  EXPECT_EQ(game.s.HighScoreBeaten, kTrue);
  EXPECT_EQ(form.lblHS.Caption(), "205 ( Ann )");
}

TEST_F(CatchTest, ReachingTheCeilingTiltsWithoutACatchSound) {
  game.s.SoundOn = kFalse;
  form.lblScore.SetCaption("99997");
  TickTo(3000, 7000, "BONUS");  // 5 points would make 100002
  EXPECT_EQ(form.lblScore.Caption(), "99999");
  EXPECT_EQ(form.Label2(14).Caption(), "Tilt!");
  EXPECT_EQ(game.s.GameRunning, kFalse);
  EXPECT_EQ(platform.playedIds, std::vector<int>{3}) << "only the tilt sound";
  EXPECT_EQ(form.lblLifes.Caption(), "25") << "the bonus is not paid";
  EXPECT_EQ(game.s.LaunchPending, kFalse);
}

TEST_F(CatchTest, BombAtTheLastLifeExplodesThenEndsTheGame) {
  form.lblLifes.SetCaption("1");
  std::string captionDuringWait;
  Picture pictureDuringWait{};
  double topDuringWait = 0;
  Rgb colourDuringWait = 0;
  std::vector<int> soundsBeforeWait;
  platform.onDoEvents = [&] {
    if (!soundsBeforeWait.empty()) return;
    captionDuringWait = form.lblLifes.Caption();
    pictureDuringWait = form.picPlanet.GetPicture();
    topDuringWait = form.picPlanet.Top();
    colourDuringWait = form.lblLifes.ForeColor();
    soundsBeforeWait = platform.playedIds;
  };
  const double start = platform.now;
  TickTo(3000, 7000, "BOOM");

  EXPECT_EQ(captionDuringWait, "0");
  EXPECT_EQ(pictureDuringWait, form.imlPlanets.ListImage(15));
  EXPECT_EQ(topDuringWait, 6840);
  EXPECT_EQ(colourDuringWait, rules::kGreen) << "red only after the wait";
  EXPECT_EQ(soundsBeforeWait, std::vector<int>{3});
  EXPECT_GT(platform.now - start, 0.2) << "the 700 ms wait (whole-second rounding)";
  EXPECT_EQ(form.lblLifes.ForeColor(), rules::kRed);
  EXPECT_EQ(game.s.GameRunning, kFalse);
  EXPECT_TRUE(form.frameGameOver.Visible());
  EXPECT_EQ(form.lblScore.Caption(), "5") << "a caught bomb still scores";
}

TEST_F(CatchTest, BonusAddsALifeAndGreensFromElevenOn) {
  form.lblLifes.SetCaption("10");
  form.lblLifes.SetForeColor(rules::kRed);
  TickTo(3000, 7000, "BONUS");
  EXPECT_EQ(form.lblLifes.Caption(), "11");
  EXPECT_EQ(form.lblLifes.ForeColor(), rules::kGreen);
  EXPECT_EQ(platform.playedIds, std::vector<int>{2});

  form.lblLifes.SetCaption("5");
  form.lblLifes.SetForeColor(rules::kRed);
  TickTo(3000, 7000, "BONUS");
  EXPECT_EQ(form.lblLifes.Caption(), "6");
  EXPECT_EQ(form.lblLifes.ForeColor(), rules::kRed);
}

TEST_F(CatchTest, UnlimitedLivesShowDoubleZeroAndCountAHundred) {
  game.s.CheatsEnabled = kTrue;
  game.s.CheatUnlimitedLifes = kTrue;
  form.lblLifes.SetCaption("00");
  QueueLaunch(50, 1, 0);
  game.s.LaunchPending = kTrue;
  GameTick(game);
  EXPECT_EQ(game.s.LifesLeft, 0) << "\"00\" reads as 0 at the launch";

  for (const char* tag : {"", "BOOM", "BONUS"}) {
    form.lblLifes.SetCaption("00");
    game.s.LifesLeft = 0;
    const bool missed = std::string(tag).empty();
    TickTo(missed ? 0 : 3000, missed ? 8000 : 7000, tag);
    EXPECT_EQ(form.lblLifes.Caption(), "00") << tag;
    EXPECT_EQ(form.lblLifes.ForeColor(), rules::kYellow) << tag;
    EXPECT_EQ(game.s.LifesLeft, 100) << tag;
    EXPECT_EQ(game.s.GameRunning, kTrue) << tag;
  }
}

}  // namespace
}  // namespace zbx::test
