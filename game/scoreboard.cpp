#include "game/scoreboard.h"

#include <string>

#include "game/panels.h"
#include "game/rules.h"
#include "game/start_pause.h"
#include "platform/number_text.h"
#include "scores/table_text.h"

namespace zbx {

void RecordHighScore(Game& g) {
  RecordScore(g, g.form.lblScore.Caption(), g.form.txtName.Text());
}

void RecordScore(Game& g, const std::string& scoreText, const std::string& name) {
  const auto score = ParseWholeNumber<std::int32_t>(scoreText);
  if (!score) return;  // nothing the game wrote: no score to record
  // As the stored table holds it, so that the entry loads back unchanged.
  const HighScoreEntry entry{*score, StorableName(name)};
  const int place = PlaceEntry(g.s.HighScores, entry);
  if (place == 0) return;
  g.recordedScores.push_back(entry);
  g.s.ScoreRecorded = kTrue;
  g.s.RecordedPlace = static_cast<std::int16_t>(place);
}

void LoadHighScores(Game& g) {
  g.s.HighScores = g.scoreStorage ? g.scoreStorage->Load() : DefaultHighScores();
}

void SaveHighScores(Game& g) {
  if (!g.scoreStorage) return;
  if (auto written = g.scoreStorage->Save(g.recordedScores)) g.s.HighScores = *written;
}

void ShowScoreboard(Game& g) {
  Form1& f = g.form;
  if (f.frameCheat.Visible()) return;
  // One covering panel at a time: the end of a game opens the board also when the help
  // was opened during its last wait, and the board takes the help's place.
  if (g.s.HelpShown == kTrue) HideHelp(g);
  g.s.WasPaused = g.s.Paused;
  g.s.ScoresShown = kTrue;
  for (int i = 1; i <= HighScoreTable::kPlaces; ++i) {
    f.lblHSName(i).SetCaption(g.s.HighScores(i).Name);
    f.lblHSScore(i).SetCaption(std::to_string(g.s.HighScores(i).Score));
  }
  f.frameGameOver.SetVisible(false);
  f.framScores.SetVisible(true);
  f.Frame1.SetEnabled(false);
  SetPause(g, kTrue);
}

void HideScoreboard(Game& g) {
  Form1& f = g.form;
  HideCoveringPanel(g, f.framScores, g.s.ScoresShown);
  for (int i = 1; i <= HighScoreTable::kPlaces; ++i) {
    f.lblHSName(i).SetForeColor(palette::kWhite);
    f.lblHSPlace(i).SetForeColor(palette::kWhite);
    f.lblHSScore(i).SetForeColor(palette::kWhite);
  }
}

}  // namespace zbx
