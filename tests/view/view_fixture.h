#pragma once
// The window shown on the offscreen platform, and helpers that read its pixels at model
// coordinates and type at whichever widget holds the focus.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QTest>

#include "window/form1.h"
#include "window/hover.h"
#include "window/qt/form_view.h"

namespace zbx::qt::test {

class Shown : public ::testing::Test {
 protected:
  // Focus only moves inside the active window (on a real X server too).
  static void Show(QWidget& w) {
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
  }
  static QPoint Px(double x, double y) { return {static_cast<int>(x / 15), static_cast<int>(y / 15)}; }
  static QRect Px(const RectTwips& r) {
    return {Px(r.left, r.top), Px(r.left + r.width, r.top + r.height) - QPoint(1, 1)};
  }
  static QColor At(const QImage& image, double x, double y) { return image.pixelColor(Px(x, y)); }
  static QWidget* Focused() { return QApplication::focusWidget(); }
  // A key pressed and released, or text typed, at the widget with the focus.
  static void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) { QTest::keyClick(Focused(), key, mods); }
  static void Type(const QString& text) { QTest::keyClicks(Focused(), text); }
};

class ViewTest : public Shown {
 protected:
  void SetUp() override {
    BindHover(form);
    Show(view);
  }
  QImage Render() { return view.grab().toImage().convertToFormat(QImage::Format_RGB32); }
  QWidget* Native(const Control& c) const { return view.NativeWidget(c); }

  Form1 form;
  FormView view{form};
};

}  // namespace zbx::qt::test
