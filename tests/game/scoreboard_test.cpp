// Recording a finished game, the scoreboard panel, and loading and saving the table
// through the game's score storage.
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "game/scoreboard.h"
#include "scores/table_text.h"
#include "support/game_fixture.h"

namespace zbx::test {
namespace {

class ScoreboardTest : public GameTest {
 protected:
  bool Record(const std::string& score, const std::string& name) {
    form.lblScore.SetCaption(score);
    form.txtName.SetText(name);
    game.s.ScoreRecorded = kFalse;
    RecordHighScore(game);
    return game.s.ScoreRecorded == kTrue;
  }
};

// A store that cannot be had.
class UnavailableStorage final : public ScoreStorage {
 public:
  HighScoreTable Load() override { return ParseTableText("Zed.500"); }
  std::optional<HighScoreTable> Save(const std::vector<HighScoreEntry>&) override { return std::nullopt; }
};

TEST_F(ScoreboardTest, ScoreEntersAtItsPlaceTiesGoAboveAndTooLowChangesNothing) {
  HighScoreTable before = game.s.HighScores;
  ASSERT_TRUE(Record("150", "  Ann "));
  EXPECT_EQ(game.s.RecordedPlace, 4);
  for (int i = 1; i <= 10; ++i) {  // the last one drops out
    const HighScoreEntry expected = i < 4 ? before(i) : i == 4 ? HighScoreEntry{150, "  Ann "} : before(i - 1);
    EXPECT_EQ(game.s.HighScores(i), expected) << i;
  }
  ASSERT_TRUE(Record("200", "New"));
  EXPECT_EQ(game.s.RecordedPlace, 1);
  EXPECT_EQ(game.s.HighScores(2).Name, "quandrovix");
  before = game.s.HighScores;  // the last place now holds 60
  EXPECT_FALSE(Record("59", "Low"));
  EXPECT_EQ(game.s.HighScores, before);
  EXPECT_EQ(game.s.RecordedPlace, 1);
  ASSERT_TRUE(Record("60", "Low"));
  EXPECT_EQ(game.s.RecordedPlace, 10);
  EXPECT_EQ(game.s.HighScores(10).Name, "Low");
}

TEST_F(ScoreboardTest, TheNameIsRecordedAsTheStoredTableHoldsIt) {
  ASSERT_TRUE(Record("500", "\vA.b|c\t "));  // a pasted name: the box does not refuse these
  EXPECT_EQ(game.s.HighScores(1).Name, "?A?b?c? ");
  EXPECT_EQ(ParseTableText(BuildTableText(game.s.HighScores)), game.s.HighScores);
}

TEST_F(ScoreboardTest, ShowFillsTheRowsAndHideTurnsThemWhite) {
  form.frameGameOver.SetVisible(true);
  for (Control* c : {&form.lblHSName(4), &form.lblHSPlace(4), &form.lblHSScore(4)})
    c->SetForeColor(rules::kRecordedRow);
  ShowScoreboard(game);
  EXPECT_EQ(form.lblHSName(1).Caption(), "quandrovix");
  EXPECT_EQ(form.lblHSScore(10).Caption(), "20");
  EXPECT_FALSE(form.frameGameOver.Visible());
  EXPECT_FALSE(form.Frame1.Enabled());
  EXPECT_EQ(form.lblHSName(4).ForeColor(), rules::kRecordedRow) << "kept while open";
  HideScoreboard(game);
  EXPECT_TRUE(form.Frame1.Enabled());
  for (int i = 1; i <= 10; ++i)
    for (const Control* c : {&form.lblHSName(i), &form.lblHSPlace(i), &form.lblHSScore(i)})
      EXPECT_EQ(c->ForeColor(), palette::kWhite) << c->name << i;
}

TEST_F(ScoreboardTest, TheTableIsLoadedThroughTheGamesStorageAndKeptWhenItCannotBeSaved) {
  game.s.HighScores(1) = {1, "stale"};
  LoadHighScores(game);
  EXPECT_EQ(game.s.HighScores, DefaultHighScores()) << "without a storage";
  game.scoreStorage = std::make_unique<UnavailableStorage>();
  LoadHighScores(game);
  ASSERT_TRUE(Record("450", "Ann"));
  const HighScoreTable before = game.s.HighScores;
  SaveHighScores(game);
  EXPECT_EQ(game.s.HighScores, before);
  EXPECT_EQ(game.s.HighScores(1), (HighScoreEntry{500, "Zed"}));
}

}  // namespace
}  // namespace zbx::test
