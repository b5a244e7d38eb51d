// How captions fall into lines, and which codes keys get.
#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QRegularExpression>

#include "window/form1.h"
#include "window/qt/fonts.h"
#include "window/qt/key_map.h"
#include "window/qt/label_text.h"

namespace zbx::qt {
namespace {

TEST(WrapCaption, WrapsAtBlanksAndKeepsShortGapsAndLongWords) {
  const QFontMetricsF fm(LabelFont(9));
  EXPECT_EQ(WrapCaption("word word word", fm, fm.horizontalAdvance("word") * 2.6), QStringList({"word word ", "word"}));
  EXPECT_EQ(WrapCaption("200  (quandrovix)", fm, 300), QStringList({"200  (quandrovix)"}));
  EXPECT_EQ(WrapCaption("unbreakable", fm, 10), QStringList({"unbreakable"}));
  EXPECT_EQ(WrapCaption("", fm, 100), QStringList());
  // The help text: each of its nine items starts a line, and all of it fits the label.
  Form1 form;
  const Control& help = form.Label2(3);
  const QFontMetricsF helpFm(LabelFont(help.fontPt));
  const QStringList lines = WrapCaption(QString::fromStdString(help.Caption()), helpFm, help.Width() / 15);
  EXPECT_EQ(lines.size(), 17);
  EXPECT_EQ(lines.filter(QRegularExpression("^ *\\[\\d\\] ")).size(), 9);
  EXPECT_EQ(lines[3].trimmed(), "ready to begin game.");
  EXPECT_LE(lines.size() * helpFm.lineSpacing(), help.Height() / 15);
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
