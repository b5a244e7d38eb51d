// The engine's handlers reached through the window: the timer and the cheat box.
#include "game/engine_events.h"
#include "support/game_fixture.h"

namespace zbx::test {
namespace {

class EngineEventsTest : public GameTest {
 protected:
  EngineEventsTest() { BindEngineEvents(game); }
};

TEST_F(EngineEventsTest, TimerEventsRunTicksWhileEnabled) {
  StartRunning();
  QueueLaunch(50, 1, 0);
  form.TimerTick();
  EXPECT_EQ(game.s.LaunchPending, kFalse);
  const double top = form.picPlanet.Top();
  form.TimerTick();
  EXPECT_EQ(form.picPlanet.Top(), top + 75);
  form.timCounter.SetEnabled(false);
  form.TimerTick();
  EXPECT_EQ(form.picPlanet.Top(), top + 75);
}

TEST_F(EngineEventsTest, TimerEventDuringTheExplosionWaitIsDropped) {
  StartRunning("0", "5");
  Falling(1, 3000, 6925, 80, "BOOM");
  int nestedTicks = 0;
  platform.onDoEvents = [&] {
    ++nestedTicks;
    form.TimerTick();  // the event pass of the wait delivers a timer event
  };
  form.TimerTick();
  EXPECT_EQ(nestedTicks, 1);
  EXPECT_EQ(form.picPlanet.GetPicture(), form.imlPlanets.ListImage(15)) << "the explosion stays";
  EXPECT_EQ(form.picPlanet.Top(), 6840);
  EXPECT_EQ(form.lblLifes.Caption(), "4");
  platform.onDoEvents = nullptr;
  QueueLaunch(50, 2, 0);
  form.TimerTick();
  EXPECT_EQ(form.picPlanet.GetPicture(), form.imlPlanets.ListImage(2)) << "ticks run again afterwards";
}

TEST_F(EngineEventsTest, KeysInTheCheatBoxReachTheConsole) {
  form.frameCheat.SetVisible(true);
  form.SetFocus(&form.txtCheat);
  form.txtCheat.SetText("grand old vortex");
  form.KeyDown(13, 0);
  EXPECT_EQ(game.s.CheatsEnabled, kTrue);
  form.KeyDown(27, 0);
  EXPECT_FALSE(form.frameCheat.Visible());
}

}  // namespace
}  // namespace zbx::test
