// How captions fall into lines, and which codes keys and buttons get.
#include <gtest/gtest.h>

#include <QFontMetricsF>

#include "window/form1.h"
#include "window/qt/fonts.h"
#include "window/qt/key_map.h"
#include "window/qt/label_text.h"

namespace zbx::qt {
namespace {

QString Trimmed(const QString& s) { return s.trimmed(); }

TEST(WrapCaption, HelpTextKeepsOneItemPartPerLineWithGapsAfterTheShortItems) {
  Form1 form;
  const Control& help = form.Label2(3);
  const QFontMetricsF fm(LabelFont(help.fontPt));
  const double width = help.Width() / 15;
  const QStringList lines = WrapCaption(QString::fromStdString(help.Caption()), fm, width);
  const QStringList expected = {
      "[1] To start new game press 'New Game' button (F2),",
      "enter your name and choose controler.",
      "[2] Press 'Start' button (or F5 key) when you're",
      "ready to begin game.",
      "[3]  Use chosen controler (Keyboard or Mouse) for",
      "moving ship (basket).",
      "[4] To pause/unpause game use 'Pause/Unpause'",
      "button (or space key).",
      "[5] M key toggles mouse pointer visibility (when",
      "Mouse is chosen as controler).",
      "[6] S key toggles sound (on/off).",
      "",
      "[7] F1 shows this help box.",
      "",
      "[8] F4 shows Scoreboard.",
      "",
      "[9] To quit game press Esc key.",
  };
  ASSERT_EQ(lines.size(), expected.size());
  for (qsizetype i = 0; i < lines.size(); ++i) EXPECT_EQ(Trimmed(lines[i]), expected[i]) << i;
  // All of it fits the label.
  EXPECT_LE(lines.size() * fm.lineSpacing(), help.Height() / 15);
}

TEST(WrapCaption, WrapsAtBlanksAndKeepsShortGapsAndLongWords) {
  const QFontMetricsF fm(LabelFont(9));
  const double word = fm.horizontalAdvance("word");
  EXPECT_EQ(WrapCaption("word word word", fm, word * 2.6), QStringList({"word word ", "word"}));
  EXPECT_EQ(WrapCaption("200  (quandrovix)", fm, 300), QStringList({"200  (quandrovix)"}));
  EXPECT_EQ(WrapCaption("unbreakable", fm, 10), QStringList({"unbreakable"}));
  EXPECT_EQ(WrapCaption("", fm, 100), QStringList());
}

TEST(KeyMap, KeysGetTheirVirtualKeyCodes) {
  EXPECT_EQ(VirtualKey(Qt::Key_A, {}), 65);
  EXPECT_EQ(VirtualKey(Qt::Key_S, Qt::ShiftModifier), 83);
  EXPECT_EQ(VirtualKey(Qt::Key_F1, {}), 112);
  EXPECT_EQ(VirtualKey(Qt::Key_F12, {}), 123);
  EXPECT_EQ(VirtualKey(Qt::Key_Return, {}), 13);
  EXPECT_EQ(VirtualKey(Qt::Key_Enter, Qt::KeypadModifier), 13);
  EXPECT_EQ(VirtualKey(Qt::Key_Up, {}), 38);
  EXPECT_EQ(VirtualKey(Qt::Key_Down, {}), 40);
  EXPECT_EQ(VirtualKey(Qt::Key_0, {}), 48);
  EXPECT_EQ(VirtualKey(Qt::Key_Exclam, Qt::ShiftModifier), 49);  // Shift+1 is still the 1 key
  EXPECT_EQ(VirtualKey(Qt::Key_5, Qt::KeypadModifier), 101);
  EXPECT_EQ(VirtualKey(Qt::Key_Minus, Qt::KeypadModifier), 109);
  EXPECT_EQ(VirtualKey(Qt::Key_Period, {}), 190);
  EXPECT_EQ(VirtualKey(Qt::Key_Bar, Qt::ShiftModifier), 220);
  EXPECT_EQ(VirtualKey(Qt::Key_unknown, {}), 0);
  EXPECT_EQ(VirtualKey(Qt::Key_Eacute, {}), 0);
}

TEST(KeyMap, ShiftAndButtonBits) {
  EXPECT_EQ(ShiftBits({}), 0);
  EXPECT_EQ(ShiftBits(Qt::ShiftModifier | Qt::AltModifier), 5);
  EXPECT_EQ(ShiftBits(Qt::ControlModifier | Qt::KeypadModifier), 2);
  EXPECT_EQ(ButtonBits(Qt::LeftButton | Qt::MiddleButton), 5);
  EXPECT_EQ(ButtonBits(Qt::RightButton), 2);
}

}  // namespace
}  // namespace zbx::qt
