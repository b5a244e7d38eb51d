#pragma once
// A whole game on the window model, the scripted platform and an in-memory registry,
// bound and loaded as the real program starts.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "flow/bindings.h"
#include "flow/keyboard.h"
#include "flow/keys.h"
#include "game/game.h"
#include "platform/winreg.h"
#include "support/fake_platform.h"
#include "window/form1.h"

namespace zbx::test {

class FlowTest : public ::testing::Test {
 protected:
  std::shared_ptr<win::RegistryApi> store = win::OpenRegistryStore(":memory:");
  Form1 form;
  FakePlatform platform;
  Game g{form, platform};

  void SetUp() override {
    g.registryStore = store.get();
    BindGame(g);
  }
  void Load() { form.on.Load(); }

  void Press(std::int16_t key, std::int16_t shift = 0) { Form_KeyDown(g, key, shift); }
  void Answer(MsgBoxResult r) { platform.answers.push_back(r); }

  // Start-up, a name, a controller, OK: the ready state.
  void LoadAndName(const std::string& name = "Ann", bool keyboard = false) {
    Load();
    form.txtName.SetText(name);
    (keyboard ? form.optKeyboard : form.optMouse).SetValue(true);
    Press(vk::kEnter);
  }
  void StartRunning(bool keyboard = false) {
    LoadAndName("Ann", keyboard);
    Press(vk::kF5);
  }
  // The next launch: no transformation, the given image (class), at the left edge.
  void QueueLaunch(int image = 14) {
    platform.draws.push_back(0.999);                   // roll 100: no transformation
    platform.draws.push_back((image - 1) / 14.0 + 1e-9);  // image
    platform.draws.push_back(0.0);                     // column 0
  }
  void Ticks(int n) {
    for (int i = 0; i < n; ++i) form.TimerTick();
  }
  std::string Shown() const { return form.lblScore.Caption() + "/" + form.lblLifes.Caption(); }
};

}  // namespace zbx::test
