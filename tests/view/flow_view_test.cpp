// The game played through its real window: keys typed at whichever widget holds the
// focus, the name box's filter for typed and pasted text, the cheat console's own keys,
// and message boxes answered on screen.
#include <QClipboard>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <memory>

#include "flow/bindings.h"
#include "flow/startup_exit.h"
#include "game/game.h"
#include "platform/qt/qt_platform.h"
#include "platform/winreg.h"
#include "view_fixture.h"

namespace zbx::qt::test {
namespace {

// The whole game in its window, started up as the program starts.
class FlowViewTest : public Shown {
 protected:
  void SetUp() override {
    game.registryStore = store.get();
    platform.SetWindow(&view);
    BindGame(game);
    form.on.Load();
    Show(view);
    GiveFirstFocus(game);
  }
  QWidget* Native(const Control& c) const { return view.NativeWidget(c); }

  // Answers the next message box on screen with a click on No.
  void AnswerNextBoxNo() {
    QTimer::singleShot(0, &view, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr) return;
      shownTexts.push_back(box->text());
      box->button(QMessageBox::No)->click();
    });
  }
  std::shared_ptr<win::RegistryApi> store = win::OpenRegistryStore(":memory:");
  Form1 form;
  QtPlatform platform;
  Game game{form, platform};
  FormView view{form};
  QStringList shownTexts;
};

// The name box keeps only what the scoreboard can store, typed or pasted; keys at an option
// button reach the game; then the keys play on the play area.
TEST_F(FlowViewTest, FromStartUpToPlayWithTheKeyboard) {
  EXPECT_EQ(Focused(), Native(form.txtName));
  Type("a|b.");
  // Characters with no key of their own, as an input method delivers them: code page
  // codes 233 and 128 are kept, 235 and characters outside the code page refused.
  for (const char* ch : {"é", "ë", "€", "ā", "中"}) {
    QTest::sendKeyEvent(QTest::Click, Focused(), Qt::Key_unknown, QString::fromUtf8(ch), Qt::NoModifier);
  }
  QGuiApplication::clipboard()->setText(QString::fromUtf8("x|y.zëāÜ"));
  Key(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(form.txtName.Text(), "abé€xyzÜ");
  Native(form.optKeyboard)->setFocus();
  Key(Qt::Key_Space);  // selects the option; the game ignores Space while naming
  Key(Qt::Key_Return);
  EXPECT_EQ(game.s.ControlMode, kKeyboardControl);
  EXPECT_EQ(Focused(), &view);  // the keyboard is back on the play area
  Key(Qt::Key_F5);
  EXPECT_TRUE(view.GameTimer().isActive());
  Key(Qt::Key_Left);
  EXPECT_EQ(form.picBasket.Left(), 2152);  // 2640 - 487.5, ties to even
  Key(Qt::Key_Space);
  EXPECT_FALSE(view.GameTimer().isActive());
}

// The cheat console's keys stay in the console; Esc hides it and hands the keys back; the
// exit question answered No and a refused close request leave the game on.
TEST_F(FlowViewTest, CheatConsoleAndTheExitQuestion) {
  Type("Cy");
  form.optKeyboard.SetValue(true);
  Key(Qt::Key_Return);
  EXPECT_EQ(view.windowTitle(), "Zorbanix!  -  Cy");
  Key(Qt::Key_C, Qt::AltModifier);
  ASSERT_TRUE(form.frameCheat.Visible());
  EXPECT_EQ(Focused(), &view);  // opening it leaves the focus where it was
  QTest::mouseClick(Native(form.txtCheat), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
  ASSERT_EQ(Focused(), Native(form.txtCheat));
  Type("grand old vortex");
  Key(Qt::Key_Return);
  EXPECT_EQ(game.s.CheatsEnabled, kTrue);
  Type("ms x");
  EXPECT_EQ(form.txtCheat.Text(), "ms x");  // none reached the window: no sound toggle
  EXPECT_EQ(game.s.SoundOn, kTrue);
  Key(Qt::Key_Escape);
  EXPECT_FALSE(form.frameCheat.Visible());
  EXPECT_EQ(Focused(), &view);
  AnswerNextBoxNo();
  Key(Qt::Key_Escape);
  AnswerNextBoxNo();
  EXPECT_FALSE(view.close());
  EXPECT_EQ(shownTexts, (QStringList{"Are you sure you want to exit?", "Are you sure you want to exit?"}));
  EXPECT_FALSE(game.Ended());
}

}  // namespace
}  // namespace zbx::qt::test
