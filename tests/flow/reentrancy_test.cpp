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
};

// The game decided by its last life is over: Cancel cannot bring it back.
TEST_F(Reentrancy, NewGameDuringTheLastExplosionEndsThatGameAndKeepsItsScore) {
  DuringTheLastExplosion([&] {
    Answer(MsgBoxResult::Yes);
    Press(vk::kF2);
  });
  Ticks(5);
  EXPECT_EQ(State(), "paused naming launch");
  EXPECT_FALSE(form.frameGameOver.Visible());
  EXPECT_EQ(form.lblLifes.Caption(), "25");
  EXPECT_EQ(game.s.HighScores(4), (HighScoreEntry{151, "Ann"})) << "the bomb's point counts";
  Press(vk::kEscape);
  EXPECT_EQ(Shown(), "0/25");
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
  Ticks(1);
  EXPECT_EQ(game.s.LaunchPending, kFalse) << "the new game's ticks run";
}

// Space or F1 during the explosion that ends a recorded game: the game is over all the
// same, and the scoreboard is the one panel left, with no pause or help behind it.
TEST_F(Reentrancy, APauseOrHelpDuringTheLastExplosionMakesWayForTheScoreboard) {
  for (std::int16_t key : {vk::kSpace, vk::kF1}) {
    DuringTheLastExplosion([&] { Press(key); });
    EXPECT_EQ(State(), "new locked scores launch") << key;
    EXPECT_EQ(form.lblPause.Caption(), "Pause (Space)");
    Press(vk::kEnter);
    EXPECT_EQ(State(), "new launch") << key;
  }
}

TEST_F(Reentrancy, TimerEventsDuringAQuestionOrAWaitAreNotTicks) {
  Play();
  Ticks(1);
  const double top = form.picPlanet.Top();
  platform.onMsgBox = [&] { Ticks(5); };
  Answer(MsgBoxResult::No);
  Press(vk::kF2);
  EXPECT_EQ(form.picPlanet.Top(), top);
  BombAtTheLastLife();
  platform.onDoEvents = [&] { Ticks(3); };
  Ticks(200);
  EXPECT_EQ(form.picPlanet.GetPicture(), form.imlPlanets.ListImage(15)) << "the explosion stays";
}

}  // namespace
}  // namespace zbx::test
