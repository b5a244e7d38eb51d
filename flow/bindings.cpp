#include "flow/bindings.h"

#include "flow/keyboard.h"
#include "flow/new_game.h"
#include "flow/startup_exit.h"
#include "flow/steering.h"
#include "game/engine_events.h"
#include "game/start_pause.h"
#include "window/hover.h"

namespace zbx {
namespace {

using KeyHandler = void (*)(Game&, std::int16_t&, std::int16_t&);

// Once the program has ended no handler may act any more, whatever is still queued.
std::function<void(std::int16_t&, std::int16_t&)> Keys(Game& g, KeyHandler h) {
  return [&g, h](std::int16_t& keyCode, std::int16_t& shift) {
    if (!g.ended) h(g, keyCode, shift);
  };
}

std::function<void()> Call(Game& g, void (*h)(Game&)) {
  return [&g, h] {
    if (!g.ended) h(g);
  };
}


}  // namespace

void BindGame(Game& g) {
  Form1& f = g.form;
  BindHover(f);

  f.on.Load = Call(g, Form_Load);
  f.on.QueryUnload = [&g](std::int16_t& cancel, std::int16_t reason) {
    if (!g.ended) Form_QueryUnload(g, cancel, reason);
  };
  f.on.KeyDown = Keys(g, Form_KeyDown);
  f.on.MouseMove = [&g](std::int16_t button, std::int16_t shift, float x, float y) {
    if (!g.ended) Form_MouseMove(g, button, shift, x, y);
  };

  f.lblNew.on.Click = Call(g, lblNew_Click);
  f.lblStart.on.Click = Call(g, lblStart_Click);
  f.lblPause.on.Click = Call(g, lblPause_Click);
  f.lblOK.on.Click = Call(g, lblOK_Click);
  f.lblCancel.on.Click = Call(g, lblCancel_Click);

  f.txtName.on.GotFocus = Call(g, txtName_GotFocus);
  f.txtName.on.KeyPress = [&g](std::int16_t& keyAscii) {
    if (!g.ended) txtName_KeyPress(g, keyAscii);
  };
  f.txtName.on.KeyDown = Keys(g, txtName_KeyDown);
  f.txtName.on.AcceptsChar = IsNameCharacterAllowed;  // typed and pasted alike
  f.optKeyboard.on.KeyDown = Keys(g, optKeyboard_KeyDown);
  f.optMouse.on.KeyDown = Keys(g, optMouse_KeyDown);
  // The engine's own handlers (timer, cheat console); a timer event becomes a tick only
  // while no message box holds the game and the program has not ended.
  BindEngineEvents(g);
  auto tick = std::move(f.timCounter.Tick);
  f.timCounter.Tick = [&g, tick] {
    if (!g.ended && g.modalDepth == 0) tick();
  };
  auto cheatKey = std::move(f.txtCheat.on.KeyDown);
  f.txtCheat.on.KeyDown = [&g, cheatKey](std::int16_t& keyCode, std::int16_t& shift) {
    if (!g.ended) cheatKey(keyCode, shift);
  };
}

}  // namespace zbx
