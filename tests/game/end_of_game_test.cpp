// The two ends of a game: Game Over and Tilt, with and without a place on the board, and
// what the player may do during their waits.
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
    form.lblStart.SetEnabled(true);  // whatever enabled it, no game starts from an end panel
    form.picBasket.SetLeft(100);
    form.picPlanet.SetTop(5000);
    form.txtName.SetText("Ann");
    game.s.HighScores = DefaultHighScores();
  }
  // Only New takes a click, no timer and no game; the planet at the top, the basket centred.
  void ExpectBetweenGames() {
    EXPECT_EQ(std::tuple(form.lblNew.Enabled(), form.lblStart.Enabled(), form.lblPause.Enabled(),
                         form.timCounter.Enabled(), game.s.GameRunning, form.picPlanet.Top(), form.picBasket.Left()),
              std::tuple(true, false, false, false, kFalse, 840.0, (form.ScaleWidth() - form.picBasket.Width()) / 2));
  }
  void ExpectRowColour(int place, Rgb colour) {
    for (const Control* c : {&form.lblHSName(place), &form.lblHSScore(place), &form.lblHSPlace(place)})
      EXPECT_EQ(c->ForeColor(), colour) << c->name << place;
  }
  // Runs GameOver or Tilt for a score with a place; at the given wait (1: the first) the
  // player does `during`.
  void EndWith(void (*end)(Game&), int atWait, const std::function<void()>& during) {
    form.lblScore.SetCaption(end == Tilt ? "99999" : "150");
    int waits = 0;
    platform.onDoEvents = [&] {
      if (++waits == atWait) during();
    };
    end(game);
    platform.onDoEvents = nullptr;
  }
};

TEST_F(EndOfGameTest, GameOverOpensTheBoardOnlyForARecordedScore) {
  game.s.ScoreRecorded = kTrue;  // left over from an earlier game
  form.Label2(14).SetCaption("Tilt!");  // how the game before ended
  GameOver(game);                       // 10 points earn no place
  ExpectBetweenGames();
  EXPECT_EQ(form.Label2(14).Caption(), "Game Over");
  EXPECT_TRUE(form.frameGameOver.Visible());
  EXPECT_EQ(platform.doEventsCalls, 0) << "no wait, no board";

  SetUp();
  form.lblScore.SetCaption("150");
  bool panelShownDuringWait = false;
  platform.onDoEvents = [&] { panelShownDuringWait = form.frameGameOver.Visible(); };
  const double start = platform.now;
  GameOver(game);
  ExpectBetweenGames();
  EXPECT_EQ(game.s.RecordedPlace, 4);
  ExpectRowColour(4, rules::kRecordedRow);
  ExpectRowColour(3, palette::kWhite);
  EXPECT_TRUE(panelShownDuringWait);
  EXPECT_GE(platform.now - start, 1.0) << "a 2000 ms wait lasts at least a second";
  EXPECT_EQ(std::pair(form.frameGameOver.Visible(), form.framScores.Visible()), std::pair(false, true));
}

TEST_F(EndOfGameTest, TiltPlaysTheExplosionEvenWithSoundOffBlinksAndRecords) {
  game.s.SoundOn = kFalse;
  form.lblScore.SetCaption("99999");
  platform.now = 100.2;
  std::vector<bool> panelDuringWaits;
  platform.onDoEvents = [&] { panelDuringWaits.push_back(form.frameGameOver.Visible()); };
  Tilt(game);
  ExpectBetweenGames();
  EXPECT_EQ(platform.playedIds, std::vector<int>{3});
  EXPECT_EQ(form.Label2(14).Caption(), "Tilt!");
  EXPECT_EQ(panelDuringWaits, (std::vector<bool>{true, false, true}));
  EXPECT_EQ(game.s.RecordedPlace, 1);
  ExpectRowColour(1, rules::kRecordedRow);
  EXPECT_EQ(std::pair(form.frameGameOver.Visible(), form.framScores.Visible()), std::pair(false, true));
}

// A new game opened during any wait of an end has the field: the end neither shows its
// panel again nor opens the board, and the row it pointed out is white again. The cheat
// console, up as the last wait ends, keeps the board closed; the end panel goes all the same.
TEST_F(EndOfGameTest, WhatOpensDuringAWaitOfTheEndKeepsTheBoardClosed) {
  const struct {
    void (*end)(Game&);
    int wait;  // Tilt: 1 and 2 blink the panel, 3 points out the row
    bool cheat;
  } cases[] = {{GameOver, 1, false}, {Tilt, 1, false},    {Tilt, 2, false},
               {Tilt, 3, false},     {GameOver, 1, true}, {Tilt, 3, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.end == Tilt ? "Tilt" : "GameOver") << " wait " << c.wait << " cheat "
                                    << c.cheat);
    SetUp();
    const int place = c.end == GameOver ? 4 : 1;
    form.frameCheat.SetVisible(false);
    bool rowPointedOut = false;
    EndWith(c.end, c.wait, [&] {
      rowPointedOut = form.lblHSName(place).ForeColor() == rules::kRecordedRow;
      if (c.cheat) {
        form.frameCheat.SetVisible(true);
      } else {  // what the new-game panel does to the ended game's field as it opens
        ++game.epoch;
        form.frameGameOver.SetVisible(false);
      }
    });
    EXPECT_EQ(game.s.RecordedPlace, place) << "recorded before the wait";
    EXPECT_EQ(rowPointedOut, c.end == GameOver || c.wait == 3);
    ExpectRowColour(place, c.cheat ? rules::kRecordedRow : palette::kWhite);
    EXPECT_EQ(std::tuple(form.frameGameOver.Visible(), form.framScores.Visible(), game.s.ScoresShown),
              std::tuple(false, false, kFalse));
  }
}

}  // namespace
}  // namespace zbx::test
