// Starting a prepared game and pausing it.
#include "flow/start_pause.h"
#include "support/game_fixture.h"

namespace zbx::test {
namespace {

class StartPauseTest : public GameTest {
 protected:
  StartPauseTest() {
    form.lblStart.SetEnabled(true);  // the ready state
    form.lblLifes.SetForeColor(rules::kRed);
    game.s.HighScoreBeaten = kTrue;
    game.s.NewGamePause = kTrue;
  }
};

TEST_F(StartPauseTest, StartRunsThePreparedGame) {
  lblStart_Click(game);
  EXPECT_EQ(game.s.GameRunning, kTrue);
  EXPECT_EQ(game.s.Paused, kFalse);
  EXPECT_EQ(game.s.LaunchPending, kTrue);
  EXPECT_TRUE(form.timCounter.Enabled());
  EXPECT_FALSE(form.lblStart.Enabled());
  EXPECT_EQ(form.lblLifes.ForeColor(), rules::kGreen);
  EXPECT_EQ(game.s.HighScoreBeaten, kFalse);
  EXPECT_EQ(game.s.NewGamePause, kFalse);
}

TEST_F(StartPauseTest, StartIsIgnoredUnlessReady) {
  form.lblStart.SetEnabled(false);
  StartGame(game);
  EXPECT_EQ(game.s.GameRunning, kFalse);
  EXPECT_FALSE(form.timCounter.Enabled());
}

TEST_F(StartPauseTest, StartWorksBehindTheCheatConsole) {
  form.frameCheat.SetVisible(true);
  StartGame(game);
  EXPECT_EQ(game.s.GameRunning, kTrue);
  EXPECT_TRUE(form.timCounter.Enabled());
  lblPause_Click(game);
  EXPECT_EQ(game.s.Paused, kFalse) << "pause is blocked while the console shows";
}

TEST_F(StartPauseTest, PauseAndResume) {
  StartGame(game);
  lblPause_Click(game);
  EXPECT_EQ(game.s.Paused, kTrue);
  EXPECT_FALSE(form.timCounter.Enabled());
  EXPECT_EQ(form.lblPause.Caption(), "Unpause (Space)");
  EXPECT_TRUE(form.framePaused.Visible());

  game.s.LaunchPending = kFalse;
  lblPause_Click(game);
  EXPECT_EQ(game.s.Paused, kFalse);
  EXPECT_TRUE(form.timCounter.Enabled());
  EXPECT_EQ(game.s.LaunchPending, kTrue);
  EXPECT_EQ(form.lblPause.Caption(), "Pause (Space)");
  EXPECT_FALSE(form.framePaused.Visible());
}

TEST_F(StartPauseTest, PauseOutsideAGameChangesNothing) {
  lblPause_Click(game);
  EXPECT_EQ(game.s.Paused, kFalse);
  EXPECT_EQ(form.lblPause.Caption(), "Pause (Space)");
  EXPECT_FALSE(form.framePaused.Visible());
}

TEST_F(StartPauseTest, CoveringPanelsHoldTheGameSilently) {
  StartGame(game);
  for (Flag ModGame::*panel : {&ModGame::HelpShown, &ModGame::ScoresShown, &ModGame::NewGameOpen,
                               &ModGame::NewGamePause}) {
    game.s.*panel = kTrue;
    SetPause(game, kTrue);
    EXPECT_FALSE(form.timCounter.Enabled());
    EXPECT_FALSE(form.framePaused.Visible());
    EXPECT_EQ(form.lblPause.Caption(), "Pause (Space)");
    SetPause(game, kFalse);
    EXPECT_TRUE(form.timCounter.Enabled());
    game.s.*panel = kFalse;
  }
}

}  // namespace
}  // namespace zbx::test
