// The Qt platform services: clock, random source, resources, the event pass, message
// boxes and the end of the program.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTime>
#include <QTimer>
#include <QWidget>

#include "platform/qt/qt_platform.h"

namespace zbx::qt {
namespace {

TEST(QtPlatform, ClockRandomSourceAndEmbeddedWaves) {
  QtPlatform platform;
  const double before = QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
  const double t = platform.TimeOfDay();
  EXPECT_TRUE(t - before < 1.0 && (t >= before || before - t > 86000.0)) << before << " " << t;  // seconds
  for (int i = 0; i < 1000; ++i) {
    const double r = platform.Rnd();
    ASSERT_TRUE(r >= 0.0 && r < 1.0) << r;
  }
  QtPlatform c, d;
  c.Randomize(12.5);
  d.Randomize(13.5);
  EXPECT_NE(c.Rnd(), d.Rnd());
  for (int id = 1; id <= 3; ++id) {
    const std::vector<std::uint8_t> wave = platform.LoadResource("WAV", id);
    ASSERT_GT(wave.size(), 44u) << id;
    EXPECT_EQ(std::string(wave.begin(), wave.begin() + 4), "RIFF");
  }
  EXPECT_TRUE(platform.LoadResource("WAV", 4).empty());
  EXPECT_TRUE(platform.LoadResource("BMP", 1).empty());
}

TEST(QtPlatform, DoEventsRunsPendingEventsAndPaintsOnce) {
  QtPlatform platform;
  struct Counting : QWidget {
    int paints = 0;
    void paintEvent(QPaintEvent*) override { ++paints; }
  } widget;
  widget.show();
  QApplication::processEvents();
  const int before = widget.paints;
  QTimer::singleShot(0, &widget, [&widget] { widget.update(); });  // a handler that asks for a repaint
  platform.DoEvents();
  EXPECT_EQ(widget.paints, before + 1);
}

TEST(QtPlatform, MessageBoxesShowTitleTextIconAndReturnTheAnswer) {
  QtPlatform platform;
  QWidget window;
  window.show();
  platform.SetWindow(&window);
  QStringList seen;
  // Answered by a click on No, or by Enter: the first button.
  const auto answerNextBox = [&seen](bool clickNo) {
    QTimer::singleShot(0, [&seen, clickNo] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      seen << QString("%1|%2|%3").arg(box->windowTitle(), box->text()).arg(box->icon());
      clickNo ? box->button(QMessageBox::No)->click() : QTest::keyClick(box, Qt::Key_Return);
    });
  };
  answerNextBox(true);
  EXPECT_EQ(platform.MsgBox("Quit?", "Zorbanix!", MsgBoxButtons::YesNo, MsgBoxIcon::Question), MsgBoxResult::No);
  answerNextBox(false);
  EXPECT_EQ(platform.MsgBox("Exit?", "Zorbanix!", MsgBoxButtons::YesNo, MsgBoxIcon::Question), MsgBoxResult::Yes);
  answerNextBox(false);
  EXPECT_EQ(platform.MsgBox("Name!", "Zorbanix!", MsgBoxButtons::OK, MsgBoxIcon::Information), MsgBoxResult::OK);
  EXPECT_EQ(seen, (QStringList{QString("Zorbanix!|Quit?|%1").arg(QMessageBox::Question),
                               QString("Zorbanix!|Exit?|%1").arg(QMessageBox::Question),
                               QString("Zorbanix!|Name!|%1").arg(QMessageBox::Information)}));
}

TEST(QtPlatformDeathTest, EndProgramEndsAtOnceWithSuccess) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        QtPlatform platform;
        std::atexit([] { std::fputs(" and the exit handlers ran", stderr); });
        std::fputs("ending", stderr);
        platform.EndProgram();
      },
      ::testing::ExitedWithCode(0), "ending$");
}

}  // namespace
}  // namespace zbx::qt
