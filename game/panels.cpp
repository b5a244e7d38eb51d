#include "game/panels.h"

#include "game/start_pause.h"

namespace zbx {

void ShowHelp(Game& g) {
  auto& f = g.form;
  if (f.frameCheat.Visible()) return;
  g.s.HelpShown = kTrue;
  g.s.WasPaused = g.s.Paused;
  f.frameHelp.SetVisible(true);
  f.Frame1.SetEnabled(false);
  SetPause(g, kTrue);  // silent: HelpShown is already set
  f.frameGameOver.SetVisible(false);
}

void HideCoveringPanel(Game& g, Control& panel, Flag& shown) {
  panel.SetVisible(false);
  g.form.Frame1.SetEnabled(true);
  shown = kFalse;
  if (g.s.WasPaused == kFalse) SetPause(g, kFalse);
}

void HideHelp(Game& g) { HideCoveringPanel(g, g.form.frameHelp, g.s.HelpShown); }

void SetPointerVisible(Game& g, Flag flag) {
  if (g.s.NewGameOpen == kTrue) return;
  g.s.PointerVisible = flag;
  if (flag == kTrue || g.s.ControlMode == kKeyboardControl) {
    g.form.SetMouseIcon(g.form.picCursor.GetPicture());
    g.s.PointerVisible = kTrue;
  } else {
    g.form.SetMouseIcon(g.form.picInvisible.GetPicture());
  }
}

void ToggleSound(Game& g) {
  g.s.SoundOn = static_cast<Flag>(~g.s.SoundOn);
  g.form.lblSound.SetCaption(std::string("Sound ") + (g.s.SoundOn == kTrue ? "ON" : "OFF"));
}

}  // namespace zbx
