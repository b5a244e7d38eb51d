#include "flow/bindings.h"

#include <type_traits>

#include "flow/keyboard.h"
#include "flow/new_game.h"
#include "flow/startup_exit.h"
#include "flow/steering.h"
#include "game/engine_events.h"
#include "game/start_pause.h"
#include "window/hover.h"

namespace zbx {
namespace {

// Once the program has ended no handler may act any more, whatever is still queued.
template <typename... Args>
std::function<void(Args...)> WhileRunning(Game& g, std::type_identity_t<std::function<void(Args...)>> h) {
  return [&g, h = std::move(h)](Args... args) {
    if (!g.Ended()) h(args...);
  };
}

// A procedure of the game as the handler of an event.
template <typename... Args>
std::function<void(Args...)> Handler(Game& g, void (*procedure)(Game&, Args...)) {
  return WhileRunning<Args...>(g, [&g, procedure](Args... args) { procedure(g, args...); });
}

}  // namespace

void BindGame(Game& g) {
  Form1& f = g.form;
  BindHover(f);

  f.on.Load = Handler(g, Form_Load);
  f.on.QueryUnload = Handler(g, Form_QueryUnload);
  f.on.KeyDown = Handler(g, Form_KeyDown);
  f.on.MouseMove = Handler(g, Form_MouseMove);

  f.lblNew.on.Click = Handler(g, lblNew_Click);
  f.lblStart.on.Click = Handler(g, lblStart_Click);
  f.lblPause.on.Click = Handler(g, lblPause_Click);
  f.lblOK.on.Click = Handler(g, lblOK_Click);
  f.lblCancel.on.Click = Handler(g, lblCancel_Click);

  f.txtName.on.GotFocus = Handler(g, txtName_GotFocus);
  f.txtName.on.KeyPress = Handler(g, txtName_KeyPress);
  f.txtName.on.KeyDown = Handler(g, txtName_KeyDown);
  f.txtName.on.AcceptsChar = IsNameCharacterAllowed;  // typed and pasted alike
  f.optKeyboard.on.KeyDown = Handler(g, optKeyboard_KeyDown);
  f.optMouse.on.KeyDown = Handler(g, optMouse_KeyDown);
  // The engine's own handlers (timer, cheat console); a timer event becomes a tick only
  // while no message box holds the game.
  BindEngineEvents(g);
  f.timCounter.Tick = WhileRunning<>(g, [&g, tick = std::move(f.timCounter.Tick)] {
    if (g.modalDepth == 0) tick();
  });
  f.txtCheat.on.KeyDown = WhileRunning<std::int16_t&, std::int16_t&>(g, std::move(f.txtCheat.on.KeyDown));
}

}  // namespace zbx
