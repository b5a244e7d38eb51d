// Recording a finished game and the scoreboard panel.
#include "flow/start_pause.h"
#include "scores/scoreboard.h"
#include "support/game_fixture.h"

namespace zbx::test {
namespace {

class ScoreboardTest : public GameTest {
 protected:
  bool Record(const std::string& score, const std::string& name = "Ann") {
    form.lblScore.SetCaption(score);
    form.txtName.SetText(name);
    game.s.ScoreRecorded = kFalse;
    RecordHighScore(game);
    return game.s.ScoreRecorded == kTrue;
  }
};

TEST_F(ScoreboardTest, ScoreEntersAtItsPlaceAndTheLastDropsOut) {
  const HighScoreTable before = game.s.HighScores;
  ASSERT_TRUE(Record("150", "  Ann "));
  EXPECT_EQ(game.s.RecordedPlace, 4);
  const HighScoreTable& t = game.s.HighScores;
  for (int i = 1; i <= 3; ++i) EXPECT_EQ(t(i), before(i));
  EXPECT_EQ(t(4), (HighScoreEntry{150, "  Ann "})) << "the name as typed";
  for (int i = 5; i <= 10; ++i) EXPECT_EQ(t(i), before(i - 1));
}

TEST_F(ScoreboardTest, TieGoesAboveTheOlderEntry) {
  ASSERT_TRUE(Record("200", "New"));
  EXPECT_EQ(game.s.RecordedPlace, 1);
  EXPECT_EQ(game.s.HighScores(1).Name, "New");
  EXPECT_EQ(game.s.HighScores(2).Name, "quandrovix");
  game.s.HighScores = DefaultHighScores();
  ASSERT_TRUE(Record("20", "Low"));
  EXPECT_EQ(game.s.RecordedPlace, 10);
  EXPECT_EQ(game.s.HighScores(10).Name, "Low");
}

TEST_F(ScoreboardTest, TooLowChangesNothing) {
  game.s.RecordedPlace = 3;
  const HighScoreTable before = game.s.HighScores;
  EXPECT_FALSE(Record("19"));
  EXPECT_FALSE(Record("0"));
  EXPECT_EQ(game.s.HighScores, before);
  EXPECT_EQ(game.s.RecordedPlace, 3);
}

TEST_F(ScoreboardTest, ShowFillsTheRowsAndHoldsARunningGameSilently) {
  game.s.GameRunning = kTrue;
  form.timCounter.SetEnabled(true);
  form.frameGameOver.SetVisible(true);
  ShowScoreboard(game);
  EXPECT_EQ(form.lblHSName(1).Caption(), "quandrovix");
  EXPECT_EQ(form.lblHSScore(10).Caption(), "20");
  EXPECT_EQ(form.lblHSPlace(10).Caption(), "[10]");
  EXPECT_TRUE(form.framScores.Visible());
  EXPECT_FALSE(form.frameGameOver.Visible());
  EXPECT_FALSE(form.Frame1.Enabled());
  EXPECT_EQ(game.s.ScoresShown, kTrue);
  EXPECT_EQ(game.s.WasPaused, kFalse);
  EXPECT_FALSE(form.timCounter.Enabled());
  EXPECT_FALSE(form.framePaused.Visible());
  EXPECT_EQ(form.lblPause.Caption(), "Pause (Space)");

  game.s.LaunchPending = kFalse;
  HideScoreboard(game);
  EXPECT_FALSE(form.framScores.Visible());
  EXPECT_TRUE(form.Frame1.Enabled());
  EXPECT_EQ(game.s.ScoresShown, kFalse);
  EXPECT_TRUE(form.timCounter.Enabled());
  EXPECT_EQ(game.s.LaunchPending, kTrue) << "resumes with a new object";
}

TEST_F(ScoreboardTest, PausedGameStaysPausedAfterTheBoard) {
  game.s.GameRunning = kTrue;
  SetPause(game, kTrue);
  ShowScoreboard(game);
  HideScoreboard(game);
  EXPECT_EQ(game.s.Paused, kTrue);
  EXPECT_FALSE(form.timCounter.Enabled());
  EXPECT_TRUE(form.framePaused.Visible());
  EXPECT_EQ(form.lblPause.Caption(), "Unpause (Space)");
}

TEST_F(ScoreboardTest, NotShownOverTheCheatConsole) {
  form.frameCheat.SetVisible(true);
  ShowScoreboard(game);
  EXPECT_FALSE(form.framScores.Visible());
  EXPECT_EQ(game.s.ScoresShown, kFalse);
}

TEST_F(ScoreboardTest, HideReturnsEveryRowToWhite) {
  form.lblHSName(4).SetForeColor(rules::kRecordedRow);
  form.lblHSPlace(4).SetForeColor(rules::kRecordedRow);
  form.lblHSScore(4).SetForeColor(rules::kRecordedRow);
  ShowScoreboard(game);
  EXPECT_EQ(form.lblHSName(4).ForeColor(), rules::kRecordedRow) << "kept while open";
  HideScoreboard(game);
  for (int i = 1; i <= 10; ++i) {
    EXPECT_EQ(form.lblHSName(i).ForeColor(), rules::kWhite);
    EXPECT_EQ(form.lblHSPlace(i).ForeColor(), rules::kWhite);
    EXPECT_EQ(form.lblHSScore(i).ForeColor(), rules::kWhite);
  }
}

}  // namespace
}  // namespace zbx::test
