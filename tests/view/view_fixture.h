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

inline bool IsBlack(const QColor& c) { return c.rgb() == qRgb(0, 0, 0); }

class Shown : public ::testing::Test {
 protected:
  // Focus only moves inside the active window (on a real X server too).
  static void Show(QWidget& w) {
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
  }
  static QImage Render(QWidget& w, const char* keepAs = nullptr) {
    QImage image = w.grab().toImage().convertToFormat(QImage::Format_RGB32);
    if (keepAs != nullptr) image.save(QString(keepAs) + ".png");  // for a look by eye
    return image;
  }
  static QPoint Px(double x, double y) { return {static_cast<int>(x / 15), static_cast<int>(y / 15)}; }
  static QRect Px(const RectTwips& r) {
    return {Px(r.left, r.top), Px(r.left + r.width, r.top + r.height) - QPoint(1, 1)};
  }
  static QColor At(const QImage& image, double x, double y) { return image.pixelColor(Px(x, y)); }
  template <class Pred>
  static bool Any(const QImage& image, const RectTwips& r, Pred pred) {
    const QRect px = Px(r);
    for (int y = px.top(); y <= px.bottom(); ++y)
      for (int x = px.left(); x <= px.right(); ++x)
        if (pred(image.pixelColor(x, y))) return true;
    return false;
  }
  static bool SameArea(const QImage& a, const QImage& b, const RectTwips& r) { return a.copy(Px(r)) == b.copy(Px(r)); }

  static QWidget* Focused() { return QApplication::focusWidget(); }
  // A key pressed and released, or text typed, at the widget with the focus.
  static void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    ASSERT_NE(Focused(), nullptr);
    QTest::keyClick(Focused(), key, mods);
  }
  static void Type(const QString& text) {
    ASSERT_NE(Focused(), nullptr);
    QTest::keyClicks(Focused(), text);
  }
};

class ViewTest : public Shown {
 protected:
  void SetUp() override {
    BindHover(form);
    Show(view);
  }
  QImage Render(const char* keepAs = nullptr) { return Shown::Render(view, keepAs); }
  QWidget* Native(const Control& c) const { return view.NativeWidget(c); }

  Form1 form;
  FormView view{form};
};

}  // namespace zbx::qt::test
