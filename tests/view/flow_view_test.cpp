// The game played through its real window: keys typed at whichever widget holds the
// focus, the name box's filter for typed and pasted text, the cheat console's own keys,
// and message boxes answered on screen.
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "flow/keys.h"
#include "game_view_fixture.h"
#include "platform/qt/qt_platform.h"
#include "registry/cls_registry_access.h"
#include "scores/scramble.h"
#include "scores/storage.h"
#include "support/fake_platform.h"

namespace zbx::qt::test {
namespace {

using zbx::test::FakePlatform;

class FlowViewTest : public GameViewTest<QtPlatform> {
 protected:
  QLineEdit& NameBox() { return *qobject_cast<QLineEdit*>(Native(form.txtName)); }
  QLineEdit& CheatBox() { return *qobject_cast<QLineEdit*>(Native(form.txtCheat)); }

  // Name typed, keyboard chosen, Enter: the ready state, the keys on the play area.
  void NameAndConfirm(const QString& name, bool keyboard) {
    Type(name);
    (keyboard ? form.optKeyboard : form.optMouse).SetValue(true);
    Key(Qt::Key_Return);
  }
  // Answers the next message box on screen: Return (the default button) or a click on No.
  void AnswerNextBox(bool yes) {
    QTimer::singleShot(0, &view, [this, yes] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr) {
        missedBoxes++;
        return;
      }
      shownTexts.push_back(box->text());
      if (yes) {
        QTest::keyClick(box, Qt::Key_Return);
      } else {
        box->button(QMessageBox::No)->click();
      }
    });
  }
  // The offscreen platform has no window manager to hand the activation back to the
  // window when a box closes; a desktop does that.
  void BackToWindow() {
    view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
  }
  int missedBoxes = 0;
  QStringList shownTexts;
};

TEST_F(FlowViewTest, FromStartUpToPlayWithTheKeyboardEachKeyOnce) {
  // Start-up: the name box has the focus and its placeholder is gone.
  EXPECT_EQ(Focused(), &NameBox());
  EXPECT_EQ(form.ActiveControl(), &form.txtName);
  EXPECT_EQ(NameBox().text(), "");
  EXPECT_EQ(form.txtName.Text(), "");

  Type("Ann Lee");
  EXPECT_EQ(formKeyDowns, 7);
  EXPECT_EQ(form.txtName.Text(), "Ann Lee");
  EXPECT_EQ(NameBox().text(), "Ann Lee");
  form.optKeyboard.SetValue(true);
  Key(Qt::Key_Return);
  EXPECT_EQ(formKeyDowns, 8);
  EXPECT_EQ(game.s.NewGameOpen, kFalse);
  EXPECT_EQ(view.windowTitle(), "Zorbanix!  -  Ann Lee");
  // The keyboard is back on the play area.
  EXPECT_EQ(Focused(), &view);
  EXPECT_EQ(form.ActiveControl(), nullptr);

  Key(Qt::Key_F5);
  EXPECT_EQ(game.s.GameRunning, kTrue);
  EXPECT_TRUE(view.GameTimer().isActive());
  Key(Qt::Key_Left);
  EXPECT_EQ(form.picBasket.Left(), 2152);  // 2640 - 487.5, ties to even
  Key(Qt::Key_Right);
  Key(Qt::Key_Right);
  EXPECT_EQ(form.picBasket.Left(), 3128);
  Key(Qt::Key_Space);
  EXPECT_EQ(game.s.Paused, kTrue);
  EXPECT_TRUE(form.framePaused.Visible());
  EXPECT_FALSE(view.GameTimer().isActive());
  Key(Qt::Key_Left);  // no steering while paused
  EXPECT_EQ(form.picBasket.Left(), 3128);
  Key(Qt::Key_Space);
  EXPECT_EQ(game.s.Paused, kFalse);
  EXPECT_EQ(form.lblPause.Caption(), "Pause (Space)");
  EXPECT_EQ(formKeyDowns, 15);
}

TEST_F(FlowViewTest, OptionButtonsPassTheirKeysOnOnce) {
  Type("Bo");
  QWidget* keyboard = Native(form.optKeyboard);
  keyboard->setFocus();
  EXPECT_EQ(form.ActiveControl(), &form.optKeyboard);
  const int before = formKeyDowns;
  Key(Qt::Key_Space);  // selects the option; the game ignores Space while naming
  EXPECT_TRUE(form.optKeyboard.Value());
  Key(Qt::Key_Return);
  EXPECT_EQ(formKeyDowns, before + 2);
  EXPECT_EQ(game.s.NewGameOpen, kFalse);
  EXPECT_EQ(game.s.ControlMode, 1);
  EXPECT_EQ(Focused(), &view);
}

TEST_F(FlowViewTest, CheatConsoleKeysStayInTheConsole) {
  NameAndConfirm("Cy", true);
  Key(Qt::Key_C, Qt::AltModifier);
  ASSERT_TRUE(form.frameCheat.Visible());
  EXPECT_EQ(Focused(), &view);  // opening it leaves the focus where it was
  QTest::mouseClick(&CheatBox(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
  ASSERT_EQ(Focused(), &CheatBox());
  EXPECT_EQ(form.ActiveControl(), &form.txtCheat);

  const int before = formKeyDowns;
  // F1, F2, F5, M and S would act on the game; here they only reach the console.
  Key(Qt::Key_F1);
  Key(Qt::Key_F5);
  Type("grand old vortex");
  EXPECT_EQ(CheatBox().text(), "grand old vortex");
  Key(Qt::Key_Return);
  EXPECT_EQ(game.s.CheatsEnabled, kTrue);
  EXPECT_EQ(CheatBox().text(), "");
  Type("setspeed 600");
  Key(Qt::Key_Return);
  EXPECT_EQ(game.s.CheatSetSpeed, kTrue);
  EXPECT_EQ(game.s.CheatSpeedValue, 600);
  Type("ms x");
  EXPECT_EQ(CheatBox().text(), "ms x");
  EXPECT_EQ(formKeyDowns, before);
  EXPECT_EQ(game.s.HelpShown, kFalse);
  EXPECT_EQ(game.s.GameRunning, kFalse);
  EXPECT_EQ(game.s.SoundOn, kTrue);

  // Escape hides the console and the keyboard goes back to the play area.
  Key(Qt::Key_Escape);
  EXPECT_FALSE(form.frameCheat.Visible());
  EXPECT_EQ(Focused(), &view);
  EXPECT_EQ(formKeyDowns, before);
  Key(Qt::Key_F5);
  EXPECT_EQ(formKeyDowns, before + 1);
  EXPECT_EQ(game.s.GameRunning, kTrue);
}

TEST_F(FlowViewTest, NameBoxKeepsOnlyWhatTheScoreboardCanStore) {
  ASSERT_EQ(Focused(), &NameBox());
  Type("a|b.c");
  TypeChar(QString::fromUtf8("é"));   // code 233: kept
  TypeChar(QString::fromUtf8("ê"));   // 234: kept
  TypeChar(QString::fromUtf8("ë"));   // 235: refused
  TypeChar(QString::fromUtf8("ÿ"));   // 255: refused
  TypeChar(QString::fromUtf8("€"));   // 128 in the code page: kept
  TypeChar(QString::fromUtf8("ā"));   // not in the code page: refused
  TypeChar(QString::fromUtf8("中"));  // not in the code page: refused
  EXPECT_EQ(NameBox().text(), QString::fromUtf8("abcéê€"));
  EXPECT_EQ(form.txtName.Text(), "abcéê€");

  // Pasted text is filtered the same way, by the menu's paste and by Ctrl+V.
  NameBox().clear();
  QGuiApplication::clipboard()->setText(QString::fromUtf8("x|y.zëā€"));
  NameBox().paste();
  EXPECT_EQ(NameBox().text(), QString::fromUtf8("xyz€"));
  EXPECT_EQ(form.txtName.Text(), "xyz€");
  QGuiApplication::clipboard()->setText(QString::fromUtf8("|Ü.ÿ"));
  Key(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(NameBox().text(), QString::fromUtf8("xyz€Ü"));
  EXPECT_EQ(form.txtName.Text(), "xyz€Ü");

  // What the box took is exactly what the scoreboard saves.
  for (const char32_t cp : NameBox().text().toUcs4()) EXPECT_TRUE(form.txtName.on.AcceptsChar(cp));
  EXPECT_EQ(UnscrambleText(ScrambleText(form.txtName.Text())), form.txtName.Text());
}

TEST_F(FlowViewTest, QuitQuestionAnsweredOnScreen) {
  NameAndConfirm("Di", true);
  Key(Qt::Key_F5);
  ASSERT_EQ(game.s.GameRunning, kTrue);

  AnswerNextBox(false);
  Key(Qt::Key_F2);
  EXPECT_EQ(shownTexts, QStringList{"Are you sure you want to quit current game?"});
  EXPECT_EQ(game.s.GameRunning, kTrue);
  EXPECT_EQ(game.s.Paused, kFalse);
  EXPECT_EQ(game.s.NewGameOpen, kFalse);
  EXPECT_FALSE(form.framePaused.Visible());
  EXPECT_TRUE(view.GameTimer().isActive());
  EXPECT_EQ(game.modalDepth, 0);
  // Keys still play.
  BackToWindow();
  EXPECT_EQ(Focused(), &view);
  Key(Qt::Key_Space);
  EXPECT_EQ(game.s.Paused, kTrue);
  Key(Qt::Key_Space);

  AnswerNextBox(true);  // Return: Yes is the default button
  Key(Qt::Key_F2);
  EXPECT_EQ(shownTexts.size(), 2);
  EXPECT_EQ(game.s.GameRunning, kFalse);
  EXPECT_EQ(game.s.NewGameOpen, kTrue);
  EXPECT_TRUE(form.frameNewGame.Visible());
  EXPECT_FALSE(view.GameTimer().isActive());
  EXPECT_EQ(missedBoxes, 0);
}

TEST_F(FlowViewTest, ExitQuestionAnsweredNoAndCloseRequestRefused) {
  NameAndConfirm("Ed", false);
  AnswerNextBox(false);
  Key(Qt::Key_Escape);
  AnswerNextBox(false);
  EXPECT_FALSE(view.close());
  EXPECT_EQ(shownTexts, (QStringList{"Are you sure you want to exit?", "Are you sure you want to exit?"}));
  EXPECT_TRUE(view.isVisible());
  EXPECT_FALSE(game.ended);
  EXPECT_EQ(missedBoxes, 0);
}

// Yes ends the program, so that case runs on the scripted platform, which records the
// end instead of ending the test program.
class FlowViewEndTest : public GameViewTest<FakePlatform> {};

TEST_F(FlowViewEndTest, EscYesSavesTheTableAndNothingActsAfterwards) {
  Type("Flo");
  Key(Qt::Key_Return);
  game.s.HighScores(1) = {4321, "Flo"};
  platform.answers.push_back(MsgBoxResult::Yes);
  Key(Qt::Key_Escape);
  ASSERT_EQ(platform.boxes.size(), 1u);
  EXPECT_EQ(platform.boxes[0].text, "Are you sure you want to exit?");
  EXPECT_TRUE(platform.ended);
  EXPECT_TRUE(game.ended);

  clsRegistryAccess reg(*store);
  const std::string stored = reg.ReadString(std::string(kScoresPath), std::string(kScoresValue), "");
  EXPECT_EQ(UnscrambleText(stored).substr(0, 9), "Flo.4321|");

  // Events still queued after the end change nothing and ask nothing.
  const int keys = formKeyDowns;
  Key(Qt::Key_F5);
  view.close();
  EXPECT_EQ(formKeyDowns, keys + 1);  // counted here, but the game's handler did not act
  EXPECT_EQ(game.s.GameRunning, kFalse);
  EXPECT_EQ(platform.boxes.size(), 1u);
}

}  // namespace
}  // namespace zbx::qt::test
