// Events of the window reaching the model: pointer movement and hover, clicks, keys
// with their codes, typed characters in the text boxes, focus, the close request and
// the timer; and the model's changes reaching the widgets.
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRadioButton>
#include <QTest>
#include <utility>
#include <vector>

#include "view_fixture.h"

namespace zbx::qt::test {
namespace {

constexpr Rgb kNavy = 0x000080, kBlue = 0x0000FF;

class InputTest : public ViewTest {
 protected:
  // Sends a pointer movement to the window at a point in window twips, through Qt.
  void MoveTo(double x, double y) {
    const QPointF at(x / 15.0, y / 15.0);
    QMouseEvent move(QEvent::MouseMove, at, view.mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&view, &move);
  }
  void MoveOver(const Control& c) {
    const RectTwips r = c.WindowBounds();
    MoveTo(r.left + r.width / 2, r.top + r.height / 2);
  }
  void Click(QWidget& w, QPoint at) { QTest::mouseClick(&w, Qt::LeftButton, Qt::NoModifier, at); }
  QPoint CentreOf(const Control& c) {
    const RectTwips r = c.WindowBounds();
    return {static_cast<int>((r.left + r.width / 2) / 15), static_cast<int>((r.top + r.height / 2) / 15)};
  }
  QLineEdit& NameBox() { return *qobject_cast<QLineEdit*>(view.NativeWidget(form.txtName)); }
  // Records every key the window's own handler receives.
  std::vector<std::pair<int, int>> RecordFormKeys() {
    form.on.KeyDown = [this](std::int16_t& key, std::int16_t& shift) { keys_.emplace_back(key, shift); };
    return {};
  }
  std::vector<std::pair<int, int>> keys_;
};

TEST_F(InputTest, PointerOverStartLightsItAndDimsItsNeighbours) {
  form.lblNew.SetBackColor(kBlue);
  MoveTo(3000, 4000);  // the play area first
  MoveOver(form.lblStart);
  EXPECT_EQ(form.lblStart.BackColor(), kBlue);
  EXPECT_EQ(form.lblNew.BackColor(), kNavy);
  EXPECT_EQ(form.lblPause.BackColor(), kNavy);
  QApplication::processEvents();
  const QImage image = Render();
  const RectTwips r = form.lblStart.WindowBounds();
  EXPECT_EQ(At(image, r.left + 30, r.top + 30), QColor(0, 0, 255));
  EXPECT_EQ(At(image, form.lblNew.WindowBounds().left + 30, r.top + 30), QColor(0, 0, 0x80));

  MoveTo(3000, 4000);  // back over the play area: the window's own handler resets it
  EXPECT_EQ(form.lblStart.BackColor(), kNavy);
}

TEST_F(InputTest, PointerOverAnEditGoesToItsControl) {
  form.frameNewGame.SetVisible(true);
  form.lblOK.SetBackColor(kBlue);
  QLineEdit& box = NameBox();
  QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), box.mapToGlobal(QPointF(5, 5)), Qt::NoButton,
                   Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(&box, &move);
  EXPECT_EQ(form.lblOK.BackColor(), kBlue);  // the name box has no handler: nothing resets
  MoveTo(form.frameNewGame.Left() + 60, form.frameNewGame.Top() + 1500);  // the panel's own surface
  EXPECT_EQ(form.lblOK.BackColor(), kNavy);
}

TEST_F(InputTest, ClickReachesAnEnabledLabelButtonOnly) {
  int clicks = 0;
  form.lblStart.on.Click = [&clicks] { ++clicks; };
  Click(view, CentreOf(form.lblStart));
  EXPECT_EQ(clicks, 1);
  form.lblStart.SetEnabled(false);
  Click(view, CentreOf(form.lblStart));
  EXPECT_EQ(clicks, 1);
  form.lblStart.SetEnabled(true);
  form.Frame1.SetEnabled(false);
  Click(view, CentreOf(form.lblStart));
  EXPECT_EQ(clicks, 1);
  // Pressed on the button, released elsewhere: no click.
  form.Frame1.SetEnabled(true);
  QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, CentreOf(form.lblStart));
  QTest::mouseRelease(&view, Qt::LeftButton, Qt::NoModifier, QPoint(200, 300));
  EXPECT_EQ(clicks, 1);
}

TEST_F(InputTest, KeysReachTheWindowWithVirtualKeyCodesAndShiftBits) {
  RecordFormKeys();
  view.setFocus();
  QTest::keyClick(&view, Qt::Key_F5);
  QTest::keyClick(&view, Qt::Key_F1);
  QTest::keyClick(&view, Qt::Key_Space);
  QTest::keyClick(&view, Qt::Key_Escape);
  QTest::keyClick(&view, Qt::Key_Return);
  QTest::keyClick(&view, Qt::Key_Left);
  QTest::keyClick(&view, Qt::Key_Right);
  QTest::keyClick(&view, Qt::Key_C, Qt::AltModifier);
  QTest::keyClick(&view, Qt::Key_M, Qt::ShiftModifier | Qt::ControlModifier);
  QTest::keyClick(&view, Qt::Key_7);
  // Modifier keys are keys too: Alt (18), Shift (16) and Ctrl (17) arrive before the key.
  const std::vector<std::pair<int, int>> expected = {
      {116, 0}, {112, 0}, {32, 0}, {27, 0},  {13, 0},  {37, 0}, {39, 0},
      {18, 4},  {67, 4},  {16, 1}, {17, 3},  {77, 3},  {55, 0}};
  EXPECT_EQ(keys_, expected);
}

TEST_F(InputTest, KeyInTheNameBoxReachesItsHandlerOnceAndStillTypes) {
  form.frameNewGame.SetVisible(true);
  RecordFormKeys();
  int boxKeys = 0;
  form.txtName.on.KeyDown = [&boxKeys](std::int16_t&, std::int16_t&) { ++boxKeys; };
  QLineEdit& box = NameBox();
  box.setFocus();
  EXPECT_EQ(form.ActiveControl(), &form.txtName);
  QTest::keyClick(&box, Qt::Key_Escape);  // a key the edit itself ignores
  QTest::keyClick(&box, Qt::Key_End);
  QTest::keyClick(&box, Qt::Key_Z);
  EXPECT_EQ(boxKeys, 3);
  EXPECT_TRUE(keys_.empty());  // not a second time through the window
  EXPECT_EQ(box.text(), "<your name>z");
  EXPECT_EQ(form.txtName.Text(), "<your name>z");
}

TEST_F(InputTest, NameBoxRefusesASixteenthCharacter) {
  form.frameNewGame.SetVisible(true);
  form.txtName.SetText("");
  QLineEdit& box = NameBox();
  box.setFocus();
  QTest::keyClicks(&box, "ABCDEFGHIJKLMNOP");
  EXPECT_EQ(box.text(), "ABCDEFGHIJKLMNO");
  EXPECT_EQ(form.txtName.Text(), "ABCDEFGHIJKLMNO");
}

TEST_F(InputTest, TypedCharacterCanBeDiscardedOrReplacedByTheBoxHandler) {
  form.frameNewGame.SetVisible(true);
  form.txtName.SetText("");
  form.txtName.on.KeyPress = [](std::int16_t& ch) {
    if (ch == '|' || ch == '.') ch = 0;
    if (ch == 'a') ch = 'A';
  };
  QLineEdit& box = NameBox();
  box.setFocus();
  QTest::keyClicks(&box, "b.a|c");
  EXPECT_EQ(form.txtName.Text(), "bAc");
  EXPECT_EQ(box.text(), "bAc");
}

TEST_F(InputTest, FocusFollowsBothWays) {
  form.frameNewGame.SetVisible(true);
  int gotFocus = 0;
  form.txtName.on.GotFocus = [&gotFocus] { ++gotFocus; };
  form.txtName.SetFocus();
  EXPECT_TRUE(NameBox().hasFocus());
  EXPECT_EQ(gotFocus, 1);
  view.NativeWidget(form.optKeyboard)->setFocus();
  EXPECT_EQ(form.ActiveControl(), &form.optKeyboard);
  NameBox().setFocus();
  EXPECT_EQ(form.ActiveControl(), &form.txtName);
  EXPECT_EQ(gotFocus, 2);
  form.SetFocus(nullptr);
  EXPECT_TRUE(view.hasFocus());
  EXPECT_EQ(form.ActiveControl(), nullptr);
}

TEST_F(InputTest, ModelAndWidgetsStayInStep) {
  form.frameNewGame.SetVisible(true);
  QLineEdit& box = NameBox();
  auto* mouse = qobject_cast<QRadioButton*>(view.NativeWidget(form.optMouse));
  auto* keyboard = qobject_cast<QRadioButton*>(view.NativeWidget(form.optKeyboard));
  EXPECT_TRUE(box.isVisible());
  EXPECT_TRUE(mouse->isChecked());

  form.txtName.SetText("Ada");
  form.txtName.SetSelection(0, 3);
  EXPECT_EQ(box.text(), "Ada");
  EXPECT_EQ(box.selectedText(), "Ada");

  form.optKeyboard.SetValue(true);
  EXPECT_TRUE(keyboard->isChecked());
  EXPECT_FALSE(mouse->isChecked());
  mouse->click();
  EXPECT_TRUE(form.optMouse.Value());
  EXPECT_FALSE(form.optKeyboard.Value());

  // A panel stacked in front covers the widgets of the panel behind it.
  form.frameHelp.SetVisible(true);
  EXPECT_FALSE(box.isVisible());
  form.frameHelp.SetVisible(false);
  EXPECT_TRUE(box.isVisible());

  form.frameNewGame.SetVisible(false);
  EXPECT_FALSE(box.isVisible());
  EXPECT_FALSE(mouse->isVisible());
  form.frameCheat.SetVisible(true);
  EXPECT_TRUE(view.NativeWidget(form.txtCheat)->isVisible());
}

TEST_F(InputTest, CloseRequestAsksTheModelAndCanBeRefused) {
  int asked = 0;
  form.on.QueryUnload = [&asked](std::int16_t& cancel, std::int16_t) {
    ++asked;
    cancel = 1;
  };
  EXPECT_FALSE(view.close());
  EXPECT_TRUE(view.isVisible());
  form.on.QueryUnload = [&asked](std::int16_t&, std::int16_t) { ++asked; };
  EXPECT_TRUE(view.close());
  EXPECT_EQ(asked, 2);
}

TEST_F(InputTest, TimerFollowsTheModelAndTicksWithoutNesting) {
  int ticks = 0, depth = 0, deepest = 0;
  form.timCounter.Tick = [&] {
    ++ticks;
    deepest = std::max(deepest, ++depth);
    QTest::qWait(25);  // a delay that lets pending events run
    --depth;
  };
  EXPECT_FALSE(view.GameTimer().isActive());
  form.timCounter.SetEnabled(true);
  EXPECT_TRUE(view.GameTimer().isActive());
  EXPECT_EQ(view.GameTimer().interval(), 10);
  QTest::qWait(120);
  EXPECT_GT(ticks, 0);
  EXPECT_EQ(deepest, 1);
  form.timCounter.SetEnabled(false);
  EXPECT_FALSE(view.GameTimer().isActive());
}

TEST_F(InputTest, WindowFollowsTitleAndPointer) {
  EXPECT_EQ(view.windowTitle(), "Zorbanix!");
  form.SetCaption("Zorbanix!  -  Ada");
  EXPECT_EQ(view.windowTitle(), "Zorbanix!  -  Ada");
  EXPECT_EQ(view.size(), QSize(417, 527));
  EXPECT_EQ(view.minimumSize(), view.maximumSize());
  form.SetMouseIcon(Picture::Cursor);
  EXPECT_EQ(view.cursor().shape(), Qt::BitmapCursor);
  EXPECT_EQ(view.cursor().hotSpot(), QPoint(0, 21));
  form.SetMouseIcon(Picture::Invisible);
  const QImage mask = view.cursor().mask().toImage().convertToFormat(QImage::Format_Mono);
  for (int y = 0; y < mask.height(); ++y)
    for (int x = 0; x < mask.width(); ++x) ASSERT_EQ(mask.pixelIndex(x, y), mask.pixelIndex(0, 0));
}

}  // namespace
}  // namespace zbx::qt::test
