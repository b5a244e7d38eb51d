// The two ends of a game: Game Over and Tilt, with and without a place on the board.
#include <stdexcept>

#include "game/end_of_game.h"
#include "support/game_fixture.h"

namespace zbx::test {
namespace {

class EndOfGameTest : public GameTest {
 protected:
  void SetUp() override {
    StartRunning("10", "0");
    form.lblNew.SetEnabled(false);
    form.lblPause.SetEnabled(true);
    form.picBasket.SetLeft(100);
    form.picPlanet.SetPicture(form.imlPlanets.ListImage(7));
    form.picPlanet.SetTop(5000);
    form.txtName.SetText("Ann");
  }

  void ExpectBetweenGames() {
    EXPECT_FALSE(form.timCounter.Enabled());
    EXPECT_EQ(game.s.GameRunning, kFalse);
    EXPECT_FALSE(form.lblStart.Enabled());
    EXPECT_FALSE(form.lblPause.Enabled());
    EXPECT_TRUE(form.lblNew.Enabled());
    EXPECT_EQ(form.picPlanet.Top(), 840);
    EXPECT_EQ(form.picPlanet.GetPicture(), form.imlPlanets.ListImage(7)) << "keeps its last picture";
    EXPECT_EQ(form.picBasket.Left(), 6255 / 2.0 - 975 / 2.0);
  }

  void ExpectRowColour(int place, Rgb colour) {
    EXPECT_EQ(form.lblHSName(place).ForeColor(), colour);
    EXPECT_EQ(form.lblHSScore(place).ForeColor(), colour);
    EXPECT_EQ(form.lblHSPlace(place).ForeColor(), colour);
  }
};

TEST_F(EndOfGameTest, GameOverWithoutAPlaceLeavesThePanelShown) {
  game.s.ScoreRecorded = kTrue;  // left over from an earlier game
  GameOver(game);
  ExpectBetweenGames();
  EXPECT_EQ(form.Label2(14).Caption(), "Game Over");
  EXPECT_TRUE(form.frameGameOver.Visible());
  EXPECT_FALSE(form.framScores.Visible());
  EXPECT_EQ(game.s.ScoreRecorded, kFalse);
  for (int i = 1; i <= 10; ++i) ExpectRowColour(i, rules::kWhite);
  EXPECT_TRUE(platform.playedIds.empty());
  EXPECT_EQ(platform.doEventsCalls, 0) << "no wait";
}

TEST_F(EndOfGameTest, GameOverWithAPlaceColoursTheRowAndOpensTheBoard) {
  form.lblScore.SetCaption("150");
  bool panelShownDuringWait = false;
  platform.onDoEvents = [&] { panelShownDuringWait = form.frameGameOver.Visible(); };
  const double start = platform.now;
  GameOver(game);
  ExpectBetweenGames();
  EXPECT_EQ(game.s.ScoreRecorded, kTrue);
  EXPECT_EQ(game.s.RecordedPlace, 4);
  ExpectRowColour(4, rules::kRecordedRow);
  ExpectRowColour(3, rules::kWhite);
  EXPECT_TRUE(panelShownDuringWait);
  EXPECT_GE(platform.now - start, 1.0) << "a 2000 ms wait lasts at least a second";
  EXPECT_FALSE(form.frameGameOver.Visible());
  EXPECT_TRUE(form.framScores.Visible());
  EXPECT_EQ(game.s.ScoresShown, kTrue);
  EXPECT_EQ(form.lblHSName(4).Caption(), "Ann");
  EXPECT_EQ(form.lblHSScore(4).Caption(), "150");
  EXPECT_TRUE(platform.playedIds.empty());
}

// A view that fails on the first change of one control.
class FailingObserver : public FormObserver {
 public:
  explicit FailingObserver(const Control& c) : failing_(c) {}
  void ControlChanged(const Control& c, const RectTwips&) override {
    if (&c == &failing_ && !failed_) {
      failed_ = true;
      throw std::runtime_error("cannot repaint");
    }
  }

 private:
  const Control& failing_;
  bool failed_ = false;
};

TEST_F(EndOfGameTest, GameOverGoesOnPastAFailingStep) {
  form.lblScore.SetCaption("150");
  FailingObserver failing(form.picPlanet);
  form.SetObserver(&failing);
  GameOver(game);
  form.SetObserver(nullptr);
  EXPECT_EQ(form.picBasket.Left(), 6255 / 2.0 - 975 / 2.0);
  EXPECT_EQ(form.Label2(14).Caption(), "Game Over");
  EXPECT_TRUE(form.framScores.Visible());
}

TEST_F(EndOfGameTest, GameOverSkipsARowColourThatCannotBeSet) {
  FailingObserver failing(form.lblHSName(1));
  form.SetObserver(&failing);
  form.lblScore.SetCaption("500");
  GameOver(game);
  form.SetObserver(nullptr);
  EXPECT_EQ(form.lblHSScore(1).ForeColor(), rules::kRecordedRow);
  EXPECT_EQ(form.lblHSPlace(1).ForeColor(), rules::kRecordedRow);
  EXPECT_TRUE(form.framScores.Visible());
}

TEST_F(EndOfGameTest, TiltPlaysTheExplosionEvenWithSoundOff) {
  game.s.SoundOn = kFalse;
  GameTest::platform.now = 100.2;
  std::vector<bool> panelDuringWaits;
  platform.onDoEvents = [&] { panelDuringWaits.push_back(form.frameGameOver.Visible()); };
  Tilt(game);
  ExpectBetweenGames();
  EXPECT_EQ(platform.playedIds, std::vector<int>{3});
  EXPECT_EQ(form.Label2(14).Caption(), "Tilt!");
  EXPECT_EQ(panelDuringWaits, (std::vector<bool>{true, false})) << "the panel blinks";
  EXPECT_TRUE(form.frameGameOver.Visible());
  EXPECT_FALSE(form.framScores.Visible()) << "10 points earn no place";
}

TEST_F(EndOfGameTest, TiltWithANewBestOpensTheBoard) {
  form.lblScore.SetCaption("99999");
  Tilt(game);
  EXPECT_EQ(game.s.RecordedPlace, 1);
  ExpectRowColour(1, rules::kRecordedRow);
  EXPECT_FALSE(form.frameGameOver.Visible());
  EXPECT_TRUE(form.framScores.Visible());
  EXPECT_EQ(form.lblHSScore(1).Caption(), "99999");
  EXPECT_EQ(form.lblHSName(2).Caption(), "quandrovix");
}

}  // namespace
}  // namespace zbx::test
