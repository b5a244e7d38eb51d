#include "flow/keyboard.h"

#include "flow/keys.h"
#include "flow/new_game.h"
#include "flow/startup_exit.h"
#include "flow/steering.h"
#include "game/panels.h"
#include "game/scoreboard.h"
#include "game/start_pause.h"

namespace zbx {
namespace {

Flag Not(Flag f) { return static_cast<Flag>(~f); }

bool NoPanel(const ModGame& s) {
  return s.HelpShown == kFalse && s.NewGameOpen == kFalse && s.ScoresShown == kFalse;
}

bool MayOpenCheatConsole(const ModGame& s) {
  return s.GameRunning == kFalse && NoPanel(s);
}

bool KeyboardSteering(const ModGame& s) {
  return s.ControlMode == kKeyboardControl && s.GameRunning == kTrue && s.Paused != kTrue;
}

}  // namespace

// The rows are tested top to bottom; "return" is a row that stops the walk. The order
// matters: a shown help or scoreboard swallows every key but M and S.
void Form_KeyDown(Game& g, std::int16_t& keyCode, std::int16_t& shift) {
  auto& s = g.s;
  const std::int16_t key = keyCode;
  const bool pointerOrSound = key == vk::kM || key == vk::kS;

  if (!pointerOrSound && s.HelpShown == kTrue) return HideHelp(g);
  if (!pointerOrSound && s.ScoresShown == kTrue) return HideScoreboard(g);
  if (key == vk::kF1 && NoPanel(s)) return ShowHelp(g);
  if (key == vk::kSpace && NoPanel(s)) return SetPause(g, Not(s.Paused));
  if (key == vk::kF2 && NoPanel(s)) return NewGame(g);
  if (key == vk::kF4 && NoPanel(s)) ShowScoreboard(g);
  if (key == vk::kF5 && s.NewGameOpen == kFalse && g.form.lblNew.Enabled()) return StartGame(g);
  if (key == vk::kM && s.NewGameOpen == kFalse) SetPointerVisible(g, Not(s.PointerVisible));
  if (key == vk::kS && s.NewGameOpen == kFalse) ToggleSound(g);
  if (key == vk::kEnter && s.NewGameOpen == kTrue) return lblOK_Click(g);
  if (key == vk::kEscape && s.NewGameOpen == kTrue) return lblCancel_Click(g);
  if (key == vk::kEscape && s.NewGameOpen == kFalse) {
    ConfirmExit(g);
    if (g.Ended()) return;
  }
  if (key == vk::kC && shift == vk::kAlt && MayOpenCheatConsole(s))
    g.form.frameCheat.SetVisible(true);  // the focus stays where it was
  if (key == vk::kLeft && KeyboardSteering(s)) SteerLeft(g);
  if (key == vk::kRight && KeyboardSteering(s)) SteerRight(g);
}

}  // namespace zbx
