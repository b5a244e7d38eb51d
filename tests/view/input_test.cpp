// Events of the window reaching the model: pointer movement and hover, clicks, keys
// with their codes, typed characters in the text boxes and focus; and the model's changes
// reaching the widgets.
#include <QLineEdit>
#include <QMouseEvent>
#include <QRadioButton>
#include <QRegion>
#include <utility>
#include <vector>

#include "view_fixture.h"

namespace zbx::qt::test {
namespace {

class InputTest : public ViewTest {
 protected:
  // A pointer movement through Qt, at a point in twips of the widget (the window's by default).
  void MoveTo(double x, double y, QWidget* w = nullptr) {
    w = w == nullptr ? &view : w;
    const QPointF at(x / 15.0, y / 15.0);
    QMouseEvent move(QEvent::MouseMove, at, w->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
  }
  QLineEdit& NameBox() { return *qobject_cast<QLineEdit*>(Native(form.txtName)); }
};

// A click is a press and release on the same enabled button. Over Start the pointer lights
// it and dims its neighbours; over an edit it goes to the edit's control; the window's and
// the panel's own handlers reset it.
TEST_F(InputTest, PointerMovesAndClicksReachTheControlUnderThePointer) {
  int clicks = 0;
  form.lblStart.on.Click = [&clicks] { ++clicks; };
  const RectTwips r = form.lblStart.WindowBounds();
  const QPoint start = Px(r).center();
  QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier, start);
  EXPECT_EQ(clicks, 1);
  form.Frame1.SetEnabled(false);
  QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier, start);
  form.Frame1.SetEnabled(true);
  QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, QPoint(200, 300));
  QTest::mouseRelease(&view, Qt::LeftButton, Qt::NoModifier, start);
  EXPECT_EQ(clicks, 1);
  form.lblNew.SetBackColor(kButtonHover);
  MoveTo(r.left + r.width / 2, r.top + r.height / 2);
  EXPECT_EQ(At(Render(), r.left + 30, r.top + 30), QColor(0, 0, 255));
  EXPECT_EQ(form.lblNew.BackColor(), kButtonNormal);
  MoveTo(3000, 4000);
  EXPECT_EQ(form.lblStart.BackColor(), kButtonNormal);
  form.frameNewGame.SetVisible(true);
  form.lblOK.SetBackColor(kButtonHover);
  MoveTo(75, 75, &NameBox());
  EXPECT_EQ(form.lblOK.BackColor(), kButtonHover);  // the name box has no handler: nothing resets
  MoveTo(form.frameNewGame.Left() + 60, form.frameNewGame.Top() + 1500);
  EXPECT_EQ(form.lblOK.BackColor(), kButtonNormal);
}

// Keys reach the window with their virtual key codes and shift bits, and a text box's keys
// reach the box once; its KeyPress handler filters the characters, and it stops at fifteen.
TEST_F(InputTest, KeysReachTheFocusedControlOnceWithTheirCodes) {
  std::vector<std::pair<int, int>> keys;
  form.on.KeyDown = [&keys](std::int16_t& key, std::int16_t& shift) { keys.emplace_back(key, shift); };
  view.setFocus();
  Key(Qt::Key_F5);
  Key(Qt::Key_C, Qt::AltModifier);
  Key(Qt::Key_M, Qt::ShiftModifier | Qt::ControlModifier);
  Key(Qt::Key_Tab);  // a focus key: it moves the focus, the game never sees it
  // Modifier keys are keys too: Alt (18), Shift (16) and Ctrl (17) arrive before the key.
  EXPECT_EQ(keys, (std::vector<std::pair<int, int>>{{116, 0}, {18, 4}, {67, 4}, {16, 1}, {17, 3}, {77, 3}}));
  form.frameNewGame.SetVisible(true);
  int boxKeys = 0;
  form.txtName.on.KeyDown = [&boxKeys](std::int16_t&, std::int16_t&) { ++boxKeys; };
  form.txtName.on.KeyPress = [](std::int16_t& ch) { ch = ch == '.' ? 0 : ch == 'a' ? 'A' : ch; };
  NameBox().setFocus();  // the model's active control follows: its KeyDown gets the keys
  Key(Qt::Key_End);
  Type("b.a");
  EXPECT_EQ(boxKeys, 4);
  EXPECT_EQ(keys.size(), 6u);  // not a second time through the window
  EXPECT_EQ(form.txtName.Text(), "<your name>bA");
  form.txtName.SetText("");
  Type("BCDEFGHIJKLMNOPQ");
  EXPECT_EQ(form.txtName.Text(), "BCDEFGHIJKLMNOP");
}

// The widgets follow the model and the model the widgets; the window has a fixed size and
// shows the model's pointer.
TEST_F(InputTest, WidgetsAndPointerFollowTheModel) {
  form.frameNewGame.SetVisible(true);
  auto* mouse = qobject_cast<QRadioButton*>(Native(form.optMouse));
  form.txtName.SetText("Ada");
  form.txtName.SetSelection(0, 3);
  EXPECT_EQ(NameBox().selectedText(), "Ada");
  form.optKeyboard.SetValue(true);
  EXPECT_FALSE(mouse->isChecked());
  mouse->click();
  EXPECT_FALSE(form.optKeyboard.Value());
  form.frameNewGame.SetVisible(false);
  EXPECT_FALSE(mouse->isVisible());
  EXPECT_EQ(view.minimumSize(), view.maximumSize());
  form.SetMouseIcon(Picture::Cursor);
  EXPECT_EQ(view.cursor().hotSpot(), QPoint(0, 21));
  form.SetMouseIcon(Picture::Invisible);
  EXPECT_TRUE(QRegion(view.cursor().mask()).isEmpty());  // not one pixel shows
}

}  // namespace
}  // namespace zbx::qt::test
