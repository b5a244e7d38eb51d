// The Qt platform services: resources, the event pass, message boxes and the end
// of the program.
#include "platform/qt/qt_platform.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QWidget>

namespace zbx::qt {
namespace {

TEST(QtPlatform, EmbeddedWaves) {
  QtPlatform platform;
  for (int id = 1; id <= 3; ++id) EXPECT_GT(platform.LoadResource("WAV", id).size(), 44u) << id;
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
  // The next box, checked and answered by Enter: its first button (the flow test clicks No).
  const auto answer = [](const char* text, QMessageBox::Icon icon) {
    QTimer::singleShot(0, [=] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      EXPECT_EQ(box->windowTitle() + "|" + box->text(), QString("Zorbanix!|") + text);
      EXPECT_EQ(box->icon(), icon);
      QTest::keyClick(box, Qt::Key_Return);
    });
  };
  answer("Exit?", QMessageBox::Question);
  EXPECT_EQ(platform.MsgBox("Exit?", "Zorbanix!", MsgBoxButtons::YesNo, MsgBoxIcon::Question), MsgBoxResult::Yes);
  answer("Name!", QMessageBox::Information);
  EXPECT_EQ(platform.MsgBox("Name!", "Zorbanix!", MsgBoxButtons::OK, MsgBoxIcon::Information), MsgBoxResult::OK);
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
