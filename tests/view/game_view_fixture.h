#pragma once
// The whole game in its real window on the offscreen platform: the Form1 model, the
// game bound to it, the Qt view, and an in-memory registry store, started up the way
// the program starts. Keys go through Qt to whichever widget holds the focus.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <memory>

#include "flow/bindings.h"
#include "flow/startup_exit.h"
#include "game/game.h"
#include "platform/winreg.h"
#include "window/form1.h"
#include "window/qt/form_view.h"

namespace zbx::qt::test {

template <class PlatformT>
class GameViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    game.registryStore = store.get();
    if constexpr (requires { platform.SetWindow(&view); }) platform.SetWindow(&view);
    BindGame(game);
    CountKeyDowns();
    form.on.Load();
    view.show();
    view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    GiveFirstFocus(game);
  }

  // Every key press reaches Form_KeyDown once: through the window's own handler, or
  // through the handler of the name box or an option button that passes it on.
  void CountKeyDowns() {
    auto count = [this](std::function<void(std::int16_t&, std::int16_t&)>& slot) {
      slot = [this, inner = slot](std::int16_t& key, std::int16_t& shift) {
        ++formKeyDowns;
        inner(key, shift);
      };
    };
    count(form.on.KeyDown);
    count(form.txtName.on.KeyDown);
    count(form.optKeyboard.on.KeyDown);
    count(form.optMouse.on.KeyDown);
  }

  static QWidget* Focused() { return QApplication::focusWidget(); }
  // A key pressed and released at the widget with the focus, as the keyboard does.
  void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QWidget* w = Focused();
    ASSERT_NE(w, nullptr) << "no widget has the focus";
    QTest::keyClick(w, key, mods);
  }
  void Type(const QString& text) {
    QWidget* w = Focused();
    ASSERT_NE(w, nullptr) << "no widget has the focus";
    QTest::keyClicks(w, text);
  }
  // One character with no key of its own (as an input method delivers it).
  void TypeChar(const QString& ch) {
    QWidget* w = Focused();
    ASSERT_NE(w, nullptr) << "no widget has the focus";
    QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, ch, Qt::NoModifier);
  }
  QWidget* Native(const Control& c) const { return view.NativeWidget(c); }

  std::shared_ptr<win::RegistryApi> store = win::OpenRegistryStore(":memory:");
  Form1 form;
  PlatformT platform;
  Game game{form, platform};
  FormView view{form};
  int formKeyDowns = 0;
};

}  // namespace zbx::qt::test
