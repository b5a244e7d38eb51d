#pragma once
// A window model with hover highlighting bound, its view shown on the offscreen
// platform, and helpers to render it and read pixels at model coordinates.
#include <gtest/gtest.h>

#include <QApplication>
#include <QColor>
#include <QImage>
#include <QString>
#include <QTest>

#include "window/form1.h"
#include "window/hover.h"
#include "window/qt/form_view.h"

namespace zbx::qt::test {

class ViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    BindHover(form);
    view.show();
    // Focus only moves inside the active window (on a real X server too).
    view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
  }

  QImage Render() { return view.grab().toImage().convertToFormat(QImage::Format_RGB32); }
  // Renders and keeps the picture beside the test program, for a look by eye.
  QImage RenderTo(const QString& name) {
    QImage image = Render();
    image.save(name + ".png");
    return image;
  }
  // The colour at a point given in window twips.
  static QColor At(const QImage& image, double x, double y) {
    return image.pixelColor(static_cast<int>(x / 15), static_cast<int>(y / 15));
  }
  // Whether any pixel of the twips rectangle matches.
  template <class Pred>
  static bool Any(const QImage& image, const RectTwips& r, Pred pred) {
    for (int y = static_cast<int>(r.top / 15); y < static_cast<int>((r.top + r.height) / 15); ++y)
      for (int x = static_cast<int>(r.left / 15); x < static_cast<int>((r.left + r.width) / 15); ++x)
        if (pred(image.pixelColor(x, y))) return true;
    return false;
  }
  static bool SameArea(const QImage& a, const QImage& b, const RectTwips& r) {
    const QRect px(static_cast<int>(r.left / 15), static_cast<int>(r.top / 15), static_cast<int>(r.width / 15),
                   static_cast<int>(r.height / 15));
    return a.copy(px) == b.copy(px);
  }

  Form1 form;
  FormView view{form};
};

inline bool IsBlack(const QColor& c) { return c.red() == 0 && c.green() == 0 && c.blue() == 0; }

}  // namespace zbx::qt::test
