#include "flow/new_game.h"

#include <string>

#include "flow/keyboard.h"
#include "flow/message_box.h"
#include "game/captions.h"
#include "game/end_of_game.h"
#include "game/panels.h"
#include "game/rules.h"
#include "game/start_pause.h"
#include "platform/codepage.h"

namespace zbx {
namespace {

constexpr std::string_view kPlaceholder = "<your name>";

std::string TrimBlanks(std::string_view s) {
  const auto first = s.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(' ');
  return std::string(s.substr(first, last - first + 1));
}

std::string LowerAscii(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

void EnableCommands(Form1& f, bool enabled) {
  f.lblNew.SetEnabled(enabled);
  f.lblPause.SetEnabled(enabled);
  f.lblStart.SetEnabled(enabled);
}

void ClosePanel(Game& g) {
  g.s.NewGameOpen = kFalse;
  g.form.frameNewGame.SetVisible(false);
  g.form.Frame1.SetEnabled(true);
}

// Asks whether to abandon the running game, holding it still around the answer.
// Returns false when the player keeps playing.
bool AbandonRunningGame(Game& g) {
  const bool yes = AskYes(g, kAskQuitGame);
  g.s.NewGamePause = kTrue;
  SetPause(g, kTrue);
  g.form.framePaused.SetVisible(false);
  if (!yes) {
    SetPause(g, kFalse);
    g.s.NewGamePause = kFalse;
    return false;
  }
  // A game whose last life went during the explosion still on screen is over, its
  // score in the table: Cancel must not bring it back to play on without lives.
  if (!FinalScoreRecorded(g)) {
    g.s.SavedLifes = LifesFromCaption(g.form);
    g.s.SavedScore = ScoreFromCaption(g.form);
  }
  return true;
}

// The lives Cancel brings back. Only a game under the unlimited-lives cheat leaves
// fewer than one ("00"): it shows "00" again while the cheat holds, otherwise the starting
// lives that any other cheat command gives.
std::string RestoredLifes(const Game& g) {
  if (g.s.SavedLifes >= 1) return std::to_string(g.s.SavedLifes);
  return UnlimitedLifesActive(g.s) ? "00" : std::to_string(rules::kStartLifes);
}

}  // namespace

void NewGame(Game& g) {
  auto& f = g.form;
  auto& s = g.s;
  if (f.frameCheat.Visible()) return;
  if (s.GameRunning == kTrue && !AbandonRunningGame(g)) return;
  // The name and controller in use are what Cancel brings back, also when no game ran
  // (never the empty name of start-up, under which a game would be recorded).
  s.SavedName = f.txtName.Text();
  ++g.epoch;  // whatever was waiting on the old game must not carry on with it
  s.GameRunning = kFalse;
  s.NewGameOpen = kTrue;
  if (s.Paused == kTrue) s.WasPaused = kTrue;
  f.frameGameOver.SetVisible(false);
  f.lblLifes.SetCaption(std::to_string(rules::kStartLifes));
  f.lblScore.SetCaption("0");
  f.SetCaption(std::string(Form1::kTitle));
  f.lblLifes.SetForeColor(palette::kGreen);
  f.frameNewGame.SetVisible(true);
  const std::string& name = f.txtName.Text();
  f.txtName.SetSelection(0, static_cast<int>(name.size()));  // clamped to the characters
  f.txtName.Refresh();
  EnableCommands(f, false);
  f.picPlanet.SetTop(rules::kLaunchTop);
  f.picBasket.SetLeft(Form1::kBasketHome.left);
}

void lblNew_Click(Game& g) { NewGame(g); }

void lblOK_Click(Game& g) {
  auto& f = g.form;
  auto& s = g.s;
  if (TrimBlanks(f.txtName.Text()).empty()) {
    Inform(g, kMustEnterName);
    return;
  }
  ClosePanel(g);
  s.ControlMode = f.optKeyboard.Value() ? kKeyboardControl : kMouseControl;
  if (s.ControlMode == kKeyboardControl) SetPointerVisible(g, kTrue);
  f.lblCancel.SetEnabled(true);
  if (s.WasPaused == kFalse) s.Paused = kFalse;
  f.SetCaption(std::string(Form1::kTitle) + "  -  " + f.txtName.Text());
  EnableCommands(f, true);
}

void lblCancel_Click(Game& g) {
  auto& f = g.form;
  auto& s = g.s;
  if (!f.lblCancel.Enabled()) return;
  ClosePanel(g);
  f.lblScore.SetCaption(std::to_string(s.SavedScore));
  f.lblLifes.SetCaption(RestoredLifes(g));
  f.txtName.SetText(s.SavedName);
  (s.ControlMode == kKeyboardControl ? f.optKeyboard : f.optMouse).SetValue(true);
  // Cancel spaces the title more narrowly than OK.
  const std::string title(Form1::kTitle);
  f.SetCaption(s.SavedName.empty() ? title + " " : title + " - " + s.SavedName);
  EnableCommands(f, true);
}

void txtName_GotFocus(Game& g) {
  if (LowerAscii(TrimBlanks(g.form.txtName.Text())) == kPlaceholder) g.form.txtName.SetText("");
}

bool IsNameCodeAllowed(std::int16_t code) {
  if (code < 0 || code > 255) return false;
  return code != '|' && code != '.' && code < 235;
}

bool IsNameCharacterAllowed(char32_t cp) {
  const auto code = AnsiCode(cp);
  return code && IsNameCodeAllowed(*code);
}

void txtName_KeyPress(Game& /*g*/, std::int16_t& keyAscii) {
  if (!IsNameCodeAllowed(keyAscii)) keyAscii = 0;
}

void txtName_KeyDown(Game& g, std::int16_t& keyCode, std::int16_t& shift) {
  Form_KeyDown(g, keyCode, shift);
}
void optKeyboard_KeyDown(Game& g, std::int16_t& keyCode, std::int16_t& shift) {
  Form_KeyDown(g, keyCode, shift);
}
void optMouse_KeyDown(Game& g, std::int16_t& keyCode, std::int16_t& shift) {
  Form_KeyDown(g, keyCode, shift);
}

}  // namespace zbx
