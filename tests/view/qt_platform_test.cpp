// The Qt platform services: clock, random source, resources, the event pass, message
// boxes and the end of the program.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTime>
#include <QTimer>
#include <QWidget>

#include "platform/qt/qt_platform.h"

namespace zbx::qt {
namespace {

TEST(QtPlatform, TimeOfDayIsSecondsSinceMidnight) {
  QtPlatform platform;
  const double before = QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
  const double t = platform.TimeOfDay();
  EXPECT_GE(t, 0.0);
  EXPECT_LT(t, 86400.0);
  // Allow a wrap at midnight between the two readings.
  EXPECT_TRUE(t - before < 1.0 && (t >= before || before - t > 86000.0)) << before << " " << t;
}

TEST(QtPlatform, RandomDrawsAreInRangeAndRandomizeMixesInTheSeed) {
  QtPlatform a, b;
  for (int i = 0; i < 1000; ++i) {
    const double r = a.Rnd();
    ASSERT_GE(r, 0.0);
    ASSERT_LT(r, 1.0);
  }
  QtPlatform c, d;
  c.Randomize(12.5);
  d.Randomize(13.5);
  EXPECT_NE(c.Rnd(), d.Rnd());
}

TEST(QtPlatform, LoadsEmbeddedWaves) {
  QtPlatform platform;
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
  bool ran = false;
  QTimer::singleShot(0, [&ran] { ran = true; });

  struct Counting : QWidget {
    int paints = 0;
    void paintEvent(QPaintEvent*) override { ++paints; }
  } widget;
  widget.resize(50, 50);
  widget.show();
  QApplication::processEvents();
  const int before = widget.paints;
  widget.update();
  platform.DoEvents();
  EXPECT_TRUE(ran);
  EXPECT_EQ(widget.paints, before + 1);
}

// Answers the next message box with the given button, once it is on screen.
void AnswerNextBox(QMessageBox::StandardButton button, QString* title, QString* text, QMessageBox::Icon* icon) {
  QTimer::singleShot(0, [=] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    *title = box->windowTitle();
    *text = box->text();
    *icon = box->icon();
    box->button(button)->click();
  });
}

TEST(QtPlatform, MessageBoxesShowTitleTextIconAndReturnTheAnswer) {
  QtPlatform platform;
  QWidget window;
  window.show();
  platform.SetWindow(&window);
  QString title, text;
  QMessageBox::Icon icon{};

  AnswerNextBox(QMessageBox::Yes, &title, &text, &icon);
  EXPECT_EQ(platform.MsgBox("Are you sure you want to exit?", "Zorbanix!", MsgBoxButtons::YesNo, MsgBoxIcon::Question),
            MsgBoxResult::Yes);
  EXPECT_EQ(title, "Zorbanix!");
  EXPECT_EQ(text, "Are you sure you want to exit?");
  EXPECT_EQ(icon, QMessageBox::Question);

  AnswerNextBox(QMessageBox::No, &title, &text, &icon);
  EXPECT_EQ(platform.MsgBox("Quit?", "Zorbanix!", MsgBoxButtons::YesNo, MsgBoxIcon::Question), MsgBoxResult::No);

  AnswerNextBox(QMessageBox::Ok, &title, &text, &icon);
  EXPECT_EQ(platform.MsgBox("You must enter your name.", "Zorbanix!", MsgBoxButtons::OK, MsgBoxIcon::Information),
            MsgBoxResult::OK);
  EXPECT_EQ(icon, QMessageBox::Information);
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
