// Events that arrive in the middle of a procedure: a key during a wait's event pass, a
// timer event while a question is shown or while a tick is waiting.
#include "support/flow_fixture.h"

namespace zbx::test {
namespace {

class Reentrancy : public FlowTest {
 protected:
  // A bomb over the basket, one life left: its catch waits 700 ms with the explosion
  // on screen, and then ends the game.
  void BombAtTheLastLife() {
    form.lblLifes.SetCaption("1");
    platform.draws = {0.04, 0.0, 0.99, 0.5};  // roll 5: a bomb; image 14; a column
    Ticks(1);
    form.picBasket.SetLeft(game.s.ObjectLeft);
  }
  // A recorded game whose last life goes with a bomb, and `act` during the explosion.
  void DuringTheLastExplosion(const std::function<void()>& act) {
    Play();
    form.lblScore.SetCaption("150");
    BombAtTheLastLife();
    int passes = 0;
    platform.onDoEvents = [&] {
      if (passes++ == 0) act();
    };
    while (passes == 0) Ticks(1);
  }
  void ExpectOnlyTheScoreboardAfter(std::int16_t key);
};

TEST_F(Reentrancy, NewGameDuringTheLastExplosionEndsThatGameAndKeepsItsScore) {
  DuringTheLastExplosion([&] {
    Answer(MsgBoxResult::Yes);
    Press(vk::kF2);
  });
  Ticks(5);
  EXPECT_EQ(game.s.NewGameOpen, kTrue);
  EXPECT_FALSE(form.frameGameOver.Visible());  // no Game Over over the new panel
  EXPECT_EQ(game.s.ScoresShown, kFalse);
  EXPECT_EQ(form.lblLifes.Caption(), "25");
  EXPECT_FALSE(form.timCounter.Enabled());
  EXPECT_EQ(game.s.HighScores(4), (HighScoreEntry{151, "Ann"})) << "the bomb's point counts";
  // Cancel cannot bring back a game without lives: the last game abandoned is the
  // start-up one.
  Press(vk::kEscape);
  EXPECT_EQ(Shown(), "0/25");
  Press(vk::kF5);
  EXPECT_EQ(game.s.GameRunning, kTrue);
  Ticks(20000);
  EXPECT_EQ(form.lblLifes.Caption(), "0");
  EXPECT_EQ(game.s.GameRunning, kFalse) << "it ends at 0 like any game";
}

TEST_F(Reentrancy, ANewGameStartedDuringTiltsBlinkIsLeftAlone) {
  Play();
  form.lblScore.SetCaption("99998");
  platform.draws = {0.99, 0.0, 0.5};  // roll 100: a planet; image 1, class 1; a column
  Ticks(1);
  form.picBasket.SetLeft(game.s.ObjectLeft);
  int passes = 0;
  platform.onDoEvents = [&] {
    if (passes++ > 0) return;
    Press(vk::kF2);  // the tilted game has ended: no question
    Press(vk::kEnter);
    Press(vk::kF5);
  };
  while (passes == 0) Ticks(1);
  EXPECT_EQ(passes, 1) << "Tilt stops after the wait in which its game was replaced";
  EXPECT_EQ(game.s.HighScores(1), (HighScoreEntry{99999, "Ann"}));
  EXPECT_EQ(State(), "running timer new pause launch");
  EXPECT_FALSE(form.frameGameOver.Visible());
  Ticks(1);
  EXPECT_EQ(game.s.LaunchPending, kFalse) << "the new game's ticks run";
}

// Space or F1 during the explosion that ends a recorded game: the game is over all the
// same, and the scoreboard is the one panel left, with no pause or help behind it.
void Reentrancy::ExpectOnlyTheScoreboardAfter(std::int16_t key) {
  DuringTheLastExplosion([&] { Press(key); });
  EXPECT_EQ(State(), "new locked scores launch");
  EXPECT_EQ(form.lblPause.Caption(), "Pause (Space)");
  EXPECT_FALSE(form.frameHelp.Visible());
  Press(vk::kEnter);
  EXPECT_EQ(State(), "new launch");
}
TEST_F(Reentrancy, APauseDuringTheLastExplosionIsNotLeftBehind) { ExpectOnlyTheScoreboardAfter(vk::kSpace); }
TEST_F(Reentrancy, HelpOpenedDuringTheLastExplosionMakesWayForTheScoreboard) { ExpectOnlyTheScoreboardAfter(vk::kF1); }

TEST_F(Reentrancy, TimerEventsDuringAQuestionOrAWaitAreNotTicks) {
  Play();
  Ticks(1);
  const double top = form.picPlanet.Top();
  platform.onMsgBox = [&] { Ticks(5); };
  Answer(MsgBoxResult::No);
  Press(vk::kF2);
  EXPECT_EQ(form.picPlanet.Top(), top);

  BombAtTheLastLife();
  int nestedTicksRun = 0;
  platform.onDoEvents = [&] {
    const double before = form.picPlanet.Top();
    Ticks(3);
    nestedTicksRun += form.picPlanet.Top() != before;
  };
  Ticks(200);
  EXPECT_EQ(nestedTicksRun, 0);
  EXPECT_EQ(form.picPlanet.GetPicture(), form.imlPlanets.ListImage(15)) << "the explosion stays";
  EXPECT_EQ(game.s.GameRunning, kFalse);  // the bomb took the last life
}

TEST_F(Reentrancy, NothingActsAfterTheProgramHasEnded) {
  Play();
  Answer(MsgBoxResult::Yes);
  Press(vk::kEscape);
  ASSERT_TRUE(platform.ended);
  const double top = form.picPlanet.Top();
  Ticks(5);
  form.KeyDown(vk::kF2, 0);  // through the window, as a queued key would arrive
  form.MouseMoveAt(3000, 6000);
  EXPECT_EQ(form.picPlanet.Top(), top);
  EXPECT_EQ(platform.boxes.size(), 1u);
}

}  // namespace
}  // namespace zbx::test
