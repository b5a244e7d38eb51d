#include "flow/startup_exit.h"

#include <cstdio>
#include <string>

#include "flow/message_box.h"
#include "flow/new_game.h"
#include "game/panels.h"
#include "game/rules.h"
#include "game/scoreboard.h"
#include "game/start_pause.h"
#include "registry/cls_registry_access.h"
#include "scores/registry_storage.h"

namespace zbx {
namespace {

std::shared_ptr<clsRegistryAccess> MakeRegistry(Game& g) {
  // The per-user store is shared with the object, which keeps it as long as it lives.
  auto registry = g.registryStore ? std::make_shared<clsRegistryAccess>(*g.registryStore)
                                  : std::make_shared<clsRegistryAccess>();
  // The game plays on with its default table; the player learns once why nothing is kept.
  if (const std::string problem = win::StoreProblem(registry->Store().Status()); !problem.empty())
    std::fprintf(stderr, "zorbanix: %s; the scoreboard will not be stored\n", problem.c_str());
  registry->CreateKeyIfDoesntExists(kTrue);
  return registry;
}

void SaveAndEnd(Game& g) {
  SaveHighScores(g);
  g.scoreStorage.reset();
  g.s.Registry.reset();
  g.MarkEnded();
  g.form.timCounter.SetEnabled(false);
  g.platform.EndProgram();
}

}  // namespace

void Form_Load(Game& g) {
  auto& f = g.form;
  SetPointerVisible(g, kTrue);
  g.s.SoundOn = kFalse;
  ToggleSound(g);
  g.s.Registry = MakeRegistry(g);
  g.scoreStorage = std::make_unique<RegistryScoreStorage>(g.s.Registry);
  LoadHighScores(g);
  f.lblHS.SetCaption(std::to_string(g.s.HighScores(1).Score) + "  (" + g.s.HighScores(1).Name + ")");
  g.s.SavedLifes = rules::kStartLifes;
  g.s.SavedScore = 0;
  f.lblCancel.SetEnabled(false);
  NewGame(g);
}

void GiveFirstFocus(Game& g) {
  Form1& f = g.form;
  for (Control* c : {&f.txtName, &f.optMouse, &f.optKeyboard, &f.txtCheat}) {
    f.SetFocus(c);
    if (f.ActiveControl() == c) return;
  }
  f.SetFocus(nullptr);
}

void Form_QueryUnload(Game& g, std::int16_t& cancel, std::int16_t /*reason*/) {
  ConfirmExit(g);
  if (!g.Ended()) cancel = 1;
}

void ConfirmExit(Game& g) {
  if (g.Ended()) return;
  if (g.s.GameRunning == kTrue) {
    SetPause(g, kTrue);
    g.form.framePaused.SetVisible(false);
    if (!AskYes(g, kAskQuitGame)) {
      SetPause(g, kFalse);
      return;
    }
  } else if (!AskYes(g, kAskExit)) {
    return;
  }
  SaveAndEnd(g);
}

void EndWithoutAsking(Game& g) {
  if (g.Ended()) return;
  SaveAndEnd(g);
}

}  // namespace zbx
