#include "game/start_pause.h"

#include <string>

#include "game/rules.h"

namespace zbx {

void SetPause(Game& g, Flag flag) {
  Form1& f = g.form;
  ModGame& s = g.s;
  if (f.frameCheat.Visible()) return;
  if (s.GameRunning == kFalse) return;
  s.Paused = flag;
  if (flag == kTrue) f.timCounter.SetEnabled(false);
  if (s.Paused == kFalse) {
    s.LaunchPending = kTrue;
    f.timCounter.SetEnabled(true);
  }
  if (s.HelpShown == kTrue || s.ScoresShown == kTrue || s.NewGameOpen == kTrue || s.NewGamePause == kTrue)
    return;
  f.lblPause.SetCaption(std::string(s.Paused == kTrue ? "Unpause" : "Pause") + " (Space)");
  f.framePaused.SetVisible(flag == kTrue);
}

void StartGame(Game& g) {
  Form1& f = g.form;
  if (!f.lblStart.Enabled()) return;
  f.lblStart.SetEnabled(false);
  g.s.GameRunning = kTrue;
  SetPause(g, kFalse);
  // Again, for when SetPause was blocked by the cheat console: a game kept paused from
  // the one abandoned before would run with the basket and the Pause button dead.
  g.s.Paused = kFalse;
  g.s.LaunchPending = kTrue;
  f.timCounter.SetEnabled(true);
  f.lblLifes.SetForeColor(palette::kGreen);
  g.s.HighScoreBeaten = kFalse;
  g.s.NewGamePause = kFalse;
}

void lblStart_Click(Game& g) { StartGame(g); }

void lblPause_Click(Game& g) { SetPause(g, g.s.Paused == kTrue ? kFalse : kTrue); }

}  // namespace zbx
