// Events that arrive in the middle of a procedure: a key during a wait's event pass, a
// timer event while a question is shown or while a tick is waiting.
#include "flow/new_game.h"
#include "flow_fixture.h"

namespace zbx::test {
namespace {

using Reentrancy = FlowTest;

// A bomb caught with one life left waits 700 ms with the explosion on screen; the
// player abandons the game during the wait's event pass.
TEST_F(Reentrancy, NewGameDuringTheExplosionWaitEndsThatTickQuietly) {
  StartRunning();
  form.lblLifes.SetCaption("1");
  platform.draws = {0.04, 0.0, 0.99, 0.5};  // roll 5: a bomb; image 14; a column
  Ticks(1);
  form.picBasket.SetLeft(g.s.ObjectLeft);  // under the object
  platform.onDoEvents = [&] {
    platform.onDoEvents = nullptr;
    Answer(MsgBoxResult::Yes);
    Press(vk::kF2);
  };
  Ticks(200);
  EXPECT_EQ(g.s.NewGameOpen, kTrue);
  EXPECT_FALSE(form.frameGameOver.Visible());  // no Game Over over the new panel
  EXPECT_EQ(g.s.ScoresShown, kFalse);
  EXPECT_EQ(form.lblLifes.Caption(), "25");
  EXPECT_FALSE(form.timCounter.Enabled());
  Press(vk::kEnter);
  Press(vk::kF5);
  EXPECT_EQ(g.s.GameRunning, kTrue);
}

TEST_F(Reentrancy, TimerEventsDuringAQuestionOrAWaitAreNotTicks) {
  StartRunning();
  Ticks(1);
  const double top = form.picPlanet.Top();
  platform.onMsgBox = [&] { Ticks(5); };
  Answer(MsgBoxResult::No);
  Press(vk::kF2);
  EXPECT_EQ(form.picPlanet.Top(), top);

  int nestedTicksRun = 0;
  form.lblLifes.SetCaption("1");
  platform.draws = {0.04, 0.0, 0.99, 0.5};
  Ticks(1);  // a new launch after the resume
  form.picBasket.SetLeft(g.s.ObjectLeft);
  platform.onDoEvents = [&] {
    const double before = form.picPlanet.Top();
    Ticks(3);
    nestedTicksRun += form.picPlanet.Top() != before;
  };
  Ticks(200);
  EXPECT_EQ(nestedTicksRun, 0);
  EXPECT_EQ(g.s.GameRunning, kFalse);  // the bomb took the last life
  EXPECT_TRUE(form.frameGameOver.Visible() || g.s.ScoresShown == kTrue);
}

TEST_F(Reentrancy, NothingActsAfterTheProgramHasEnded) {
  StartRunning();
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
