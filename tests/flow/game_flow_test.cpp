// The five states of the game flow and every way between them, the covering panels
// with their pause bookkeeping, and the abandoned-game snapshot.
#include "flow/new_game.h"
#include "registry/cls_registry_access.h"
#include "scores/storage.h"
#include "flow/start_pause.h"
#include "flow_fixture.h"

namespace zbx::test {
namespace {

using FlowStates = FlowTest;

TEST_F(FlowStates, StartUpOpensAnUncancellableNewGamePanel) {
  Load();
  EXPECT_EQ(g.s.NewGameOpen, kTrue);
  EXPECT_TRUE(form.frameNewGame.Visible());
  EXPECT_FALSE(form.lblNew.Enabled());
  EXPECT_FALSE(form.lblStart.Enabled());
  EXPECT_FALSE(form.lblPause.Enabled());
  EXPECT_FALSE(form.lblCancel.Enabled());
  EXPECT_EQ(form.lblSound.Caption(), "Sound ON");
  EXPECT_EQ(g.s.SoundOn, kTrue);
  EXPECT_EQ(g.s.PointerVisible, kTrue);
  EXPECT_EQ(form.MouseIcon(), Picture::Cursor);
  EXPECT_EQ(form.lblHS.Caption(), "200  (quandrovix)");
  EXPECT_EQ(form.Caption(), "Zorbanix!");
  EXPECT_EQ(g.s.SavedLifes, 25);

  Press(vk::kEscape);  // Esc and Cancel do nothing here, and never ask
  form.lblCancel.on.Click();
  EXPECT_TRUE(platform.boxes.empty());
  EXPECT_EQ(g.s.NewGameOpen, kTrue);
}

TEST_F(FlowStates, OkNeedsANameThatIsNotBlank) {
  Load();
  form.txtName.SetText("   ");
  Press(vk::kEnter);
  ASSERT_EQ(platform.boxes.size(), 1u);
  EXPECT_EQ(platform.boxes[0].text, "You must enter your name.");
  EXPECT_EQ(platform.boxes[0].title, "Zorbanix!");
  EXPECT_EQ(platform.boxes[0].icon, MsgBoxIcon::Information);
  EXPECT_EQ(g.s.NewGameOpen, kTrue);

  form.txtName.SetText(" Bo ");
  Press(vk::kEnter);
  EXPECT_EQ(g.s.NewGameOpen, kFalse);
  EXPECT_EQ(form.Caption(), "Zorbanix!  -   Bo ");
  EXPECT_TRUE(form.lblStart.Enabled());
  EXPECT_TRUE(form.lblCancel.Enabled());
  EXPECT_EQ(g.s.ControlMode, 2);
}

TEST_F(FlowStates, PlaceholderGoesOnFocusAndIsAcceptedWhenNeverFocused) {
  Load();
  form.txtName.SetText("  <YOUR Name> ");
  form.txtName.on.GotFocus();
  EXPECT_EQ(form.txtName.Text(), "");
  form.txtName.SetText("<your name>");
  Press(vk::kEnter);  // never focused: the placeholder is a name like any other
  EXPECT_EQ(g.s.NewGameOpen, kFalse);
  EXPECT_EQ(form.Caption(), "Zorbanix!  -  <your name>");
}

TEST_F(FlowStates, ReadyRunningPausedAndBack) {
  LoadAndName();
  Press(vk::kSpace);  // nothing runs: Space changes nothing
  EXPECT_EQ(g.s.Paused, kFalse);
  EXPECT_FALSE(form.framePaused.Visible());

  Press(vk::kF5);
  EXPECT_EQ(g.s.GameRunning, kTrue);
  EXPECT_TRUE(form.timCounter.Enabled());
  EXPECT_FALSE(form.lblStart.Enabled());
  Press(vk::kF5);  // a second start does nothing
  EXPECT_TRUE(form.timCounter.Enabled());

  Ticks(3);
  Press(vk::kSpace);
  EXPECT_EQ(g.s.Paused, kTrue);
  EXPECT_FALSE(form.timCounter.Enabled());
  EXPECT_TRUE(form.framePaused.Visible());
  EXPECT_EQ(form.lblPause.Caption(), "Unpause (Space)");

  form.lblPause.on.Click();
  EXPECT_EQ(g.s.Paused, kFalse);
  EXPECT_EQ(g.s.LaunchPending, kTrue);  // a new object from the top
  EXPECT_FALSE(form.framePaused.Visible());
  EXPECT_EQ(form.lblPause.Caption(), "Pause (Space)");
}

TEST_F(FlowStates, HelpHoldsARunningGameSilentlyAndResumesIt) {
  StartRunning();
  Ticks(2);
  Press(vk::kF1);
  EXPECT_EQ(g.s.HelpShown, kTrue);
  EXPECT_FALSE(form.timCounter.Enabled());
  EXPECT_FALSE(form.framePaused.Visible());
  EXPECT_EQ(form.lblPause.Caption(), "Pause (Space)");
  EXPECT_FALSE(form.Frame1.Enabled());

  Press(vk::kSpace);  // closes the help, does not pause
  EXPECT_EQ(g.s.HelpShown, kFalse);
  EXPECT_EQ(g.s.Paused, kFalse);
  EXPECT_TRUE(form.timCounter.Enabled());
  EXPECT_EQ(g.s.LaunchPending, kTrue);
}

TEST_F(FlowStates, HelpOverAPausedGameLeavesItPaused) {
  StartRunning();
  Press(vk::kSpace);
  Press(vk::kF1);
  Press(vk::kF1);  // F1 closes the help it opened
  EXPECT_EQ(g.s.Paused, kTrue);
  EXPECT_TRUE(form.framePaused.Visible());
  EXPECT_EQ(form.lblPause.Caption(), "Unpause (Space)");
  EXPECT_FALSE(form.timCounter.Enabled());
}

TEST_F(FlowStates, ScoreboardOverARunningAndAPausedGame) {
  StartRunning();
  Press(vk::kF4);
  EXPECT_EQ(g.s.ScoresShown, kTrue);
  EXPECT_FALSE(form.timCounter.Enabled());
  EXPECT_FALSE(form.framePaused.Visible());
  Press(vk::kF4);  // F4 closes the open board
  EXPECT_EQ(g.s.ScoresShown, kFalse);
  EXPECT_TRUE(form.timCounter.Enabled());

  Press(vk::kSpace);
  Press(vk::kF4);
  Press(vk::kEnter);
  EXPECT_EQ(g.s.Paused, kTrue);
  EXPECT_TRUE(form.framePaused.Visible());
}

TEST_F(FlowStates, NewGameDuringPlayAnsweredNoPlaysOnEvenFromAPause) {
  StartRunning();
  Press(vk::kSpace);
  Answer(MsgBoxResult::No);
  Press(vk::kF2);
  ASSERT_EQ(platform.boxes.size(), 1u);
  EXPECT_EQ(platform.boxes[0].text, "Are you sure you want to quit current game?");
  EXPECT_EQ(platform.boxes[0].buttons, MsgBoxButtons::YesNo);
  EXPECT_EQ(platform.boxes[0].icon, MsgBoxIcon::Question);
  EXPECT_EQ(g.s.GameRunning, kTrue);
  EXPECT_EQ(g.s.Paused, kFalse);
  EXPECT_TRUE(form.timCounter.Enabled());
  EXPECT_FALSE(form.framePaused.Visible());
  EXPECT_EQ(g.s.NewGamePause, kFalse);
}

TEST_F(FlowStates, AbandonedGameComesBackThroughCancel) {
  StartRunning();
  form.lblScore.SetCaption("140");
  form.lblLifes.SetCaption("17");
  Answer(MsgBoxResult::Yes);
  Press(vk::kF2);
  EXPECT_EQ(Shown(), "0/25");
  EXPECT_EQ(form.Caption(), "Zorbanix!");
  EXPECT_EQ(g.s.NewGameOpen, kTrue);
  EXPECT_EQ(g.s.GameRunning, kFalse);

  form.txtName.SetText("someone else");
  Press(vk::kEscape);
  EXPECT_EQ(Shown(), "140/17");
  EXPECT_EQ(form.txtName.Text(), "Ann");
  EXPECT_EQ(form.Caption(), "Zorbanix! - Ann");

  QueueLaunch();
  Press(vk::kF5);
  Ticks(1);
  EXPECT_EQ(g.s.GameRunning, kTrue);
  EXPECT_EQ(g.s.LifesLeft, 17);
  EXPECT_EQ(form.lblSpeed.Caption(), "326 m/h");  // (50 - 2 * 17) + 140 + 50, shown + 120
}

TEST_F(FlowStates, CancelWithoutAnAbandonedGameRestoresTheStartUpSnapshot) {
  LoadAndName();
  Press(vk::kF2);  // ready state: no question
  EXPECT_TRUE(platform.boxes.empty());
  Press(vk::kEscape);
  EXPECT_EQ(Shown(), "0/25");
  EXPECT_EQ(form.txtName.Text(), "");
  EXPECT_EQ(form.Caption(), "Zorbanix! ");
}

TEST_F(FlowStates, GameOverLeadsToANewGameWithoutAQuestion) {
  StartRunning();
  form.picBasket.SetLeft(5280);
  form.lblLifes.SetCaption("1");
  QueueLaunch();
  Ticks(200);
  EXPECT_EQ(g.s.GameRunning, kFalse);
  EXPECT_TRUE(form.frameGameOver.Visible());
  EXPECT_FALSE(form.timCounter.Enabled());
  EXPECT_TRUE(form.lblNew.Enabled());
  EXPECT_FALSE(form.lblStart.Enabled());
  Press(vk::kF5);  // over: no start
  EXPECT_EQ(g.s.GameRunning, kFalse);
  Press(vk::kF2);
  EXPECT_TRUE(platform.boxes.empty());
  EXPECT_EQ(g.s.NewGameOpen, kTrue);
  EXPECT_FALSE(form.frameGameOver.Visible());
}

TEST_F(FlowStates, ExitQuestionResumesAGameOnNoAndEndsOnYes) {
  StartRunning();
  Press(vk::kSpace);
  Answer(MsgBoxResult::No);
  Press(vk::kEscape);
  EXPECT_EQ(platform.boxes.back().text, "Are you sure you want to quit current game?");
  EXPECT_EQ(g.s.Paused, kFalse);  // resumed although it was paused
  EXPECT_EQ(form.lblPause.Caption(), "Pause (Space)");
  EXPECT_FALSE(platform.ended);

  Answer(MsgBoxResult::Cancel);  // anything but Yes declines
  EXPECT_FALSE(form.QueryUnload());
  EXPECT_FALSE(platform.ended);
}

TEST_F(FlowStates, CloseRequestAsksAndOnlyYesEndsAfterSaving) {
  LoadAndName();
  std::int16_t cancel = 0;
  Answer(MsgBoxResult::No);
  form.on.QueryUnload(cancel, 0);
  EXPECT_EQ(cancel, 1);
  EXPECT_EQ(platform.boxes.back().text, "Are you sure you want to exit?");

  Answer(MsgBoxResult::Yes);
  EXPECT_TRUE(form.QueryUnload());
  EXPECT_TRUE(platform.ended);
  EXPECT_EQ(g.s.Registry, nullptr);
  clsRegistryAccess reader(*store);
  EXPECT_NE(reader.ReadString(std::string(kScoresPath), std::string(kScoresValue), "none"), "none");
}

}  // namespace
}  // namespace zbx::test
