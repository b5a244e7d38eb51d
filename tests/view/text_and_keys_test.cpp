// How captions fall into lines, and which codes keys get.
#include <gtest/gtest.h>

#include <QFontMetricsF>

#include "window/form1.h"
#include "window/qt/fonts.h"
#include "window/qt/key_map.h"
#include "window/qt/label_text.h"

namespace zbx::qt {
namespace {

TEST(WrapCaption, HelpTextKeepsOneItemPartPerLineWithGapsAfterTheShortItems) {
  Form1 form;
  const Control& help = form.Label2(3);
  const QFontMetricsF fm(LabelFont(help.fontPt));
  const QStringList lines = WrapCaption(QString::fromStdString(help.Caption()), fm, help.Width() / 15);
  const QStringList expected = {
      "[1] To start new game press 'New Game' button (F2),", "enter your name and choose controler.",
      "[2] Press 'Start' button (or F5 key) when you're",     "ready to begin game.",
      "[3]  Use chosen controler (Keyboard or Mouse) for",   "moving ship (basket).",
      "[4] To pause/unpause game use 'Pause/Unpause'",       "button (or space key).",
      "[5] M key toggles mouse pointer visibility (when",    "Mouse is chosen as controler).",
      "[6] S key toggles sound (on/off).",                   "",
      "[7] F1 shows this help box.",                         "",
      "[8] F4 shows Scoreboard.",                            "",
      "[9] To quit game press Esc key.",
  };
  ASSERT_EQ(lines.size(), expected.size());
  for (qsizetype i = 0; i < lines.size(); ++i) EXPECT_EQ(lines[i].trimmed(), expected[i]) << i;
  EXPECT_LE(lines.size() * fm.lineSpacing(), help.Height() / 15) << "all of it fits the label";
}

TEST(WrapCaption, WrapsAtBlanksAndKeepsShortGapsAndLongWords) {
  const QFontMetricsF fm(LabelFont(9));
  EXPECT_EQ(WrapCaption("word word word", fm, fm.horizontalAdvance("word") * 2.6), QStringList({"word word ", "word"}));
  EXPECT_EQ(WrapCaption("200  (quandrovix)", fm, 300), QStringList({"200  (quandrovix)"}));
  EXPECT_EQ(WrapCaption("unbreakable", fm, 10), QStringList({"unbreakable"}));
  EXPECT_EQ(WrapCaption("", fm, 100), QStringList());
}

TEST(KeyMap, KeysGetTheirVirtualKeyCodes) {
  const struct {
    Qt::Key key;
    Qt::KeyboardModifiers mods;
    int vk;
  } cases[] = {
      {Qt::Key_A, {}, 65},      {Qt::Key_0, {}, 48},       {Qt::Key_F1, {}, 112},     {Qt::Key_F12, {}, 123},
      {Qt::Key_Period, {}, 190}, {Qt::Key_Exclam, Qt::ShiftModifier, 49},  {Qt::Key_unknown, {}, 0},
      {Qt::Key_Eacute, {}, 0},  {Qt::Key_5, Qt::KeypadModifier, 101},     {Qt::Key_Minus, Qt::KeypadModifier, 109},
      {Qt::Key_Enter, Qt::KeypadModifier, 13},
  };
  for (const auto& c : cases) EXPECT_EQ(VirtualKey(c.key, c.mods), c.vk) << c.key;
}

}  // namespace
}  // namespace zbx::qt
