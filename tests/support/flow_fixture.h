#pragma once
// FlowTest runs the whole program bound to the window's events, with an in-memory
// registry.
#include <memory>
#include <string>
#include <utility>

#include "flow/bindings.h"
#include "flow/keyboard.h"
#include "flow/keys.h"
#include "platform/winreg.h"
#include "support/game_fixture.h"

namespace zbx::test {

class FlowTest : public GameTest {
 protected:
  FlowTest() {
    game.registryStore = store.get();
    BindGame(game);
  }
  void Load() { form.on.Load(); }
  void Press(std::int16_t key, std::int16_t shift = 0) { Form_KeyDown(game, key, shift); }
  void Answer(MsgBoxResult r) { platform.answers.push_back(r); }

  // Start-up, a name, a controller, OK: the ready state.
  void LoadAndName(const std::string& name = "Ann", bool keyboard = false) {
    Load();
    form.txtName.SetText(name);
    (keyboard ? form.optKeyboard : form.optMouse).SetValue(true);
    Press(vk::kEnter);
  }
  void Play(bool keyboard = false) {
    LoadAndName("Ann", keyboard);
    Press(vk::kF5);
  }
  void Ticks(int n) {
    for (int i = 0; i < n; ++i) form.TimerTick();
  }
  // The game-flow state as its table describes it: the flags that are True, a running
  // timer, the enabled commands, the panels and captions shown, the launch due.
  std::string State() const {
    const std::pair<bool, const char*> parts[] = {
        {game.s.GameRunning == kTrue, "running"},  {game.s.Paused == kTrue, "paused"},
        {game.s.NewGameOpen == kTrue && form.frameNewGame.Visible(), "naming"},
        {form.timCounter.Enabled(), "timer"},      {form.lblNew.Enabled(), "new"},
        {form.lblStart.Enabled(), "start"},        {form.lblPause.Enabled(), "pause"},
        {form.framePaused.Visible(), "framePaused"}, {form.lblPause.Caption() == "Unpause (Space)", "Unpause"},
        {form.frameGameOver.Visible(), "over"},    {!form.Frame1.Enabled(), "locked"},
        {game.s.HelpShown == kTrue, "help"},       {game.s.ScoresShown == kTrue, "scores"},
        {game.s.LaunchPending == kTrue, "launch"}};
    std::string state;
    for (const auto& [on, name] : parts)
      if (on) state += (state.empty() ? "" : " ") + std::string(name);
    return state;
  }

  std::shared_ptr<win::RegistryApi> store = win::OpenRegistryStore(":memory:");
};

}  // namespace zbx::test
