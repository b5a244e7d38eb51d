// The window as laid out: start state, the control arrays and the image list.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "window/form1.h"

namespace zbx {
namespace {

TEST(Layout, WindowStartsWithPanelsHiddenAndTheTimerOff) {
  Form1 f;
  for (Control* p : {&f.frameNewGame, &f.frameHelp, &f.framScores, &f.framePaused, &f.frameGameOver,
                     &f.frameCheat, &f.picCursor, &f.picInvisible}) {
    EXPECT_FALSE(p->Visible()) << p->name;
  }
  EXPECT_FALSE(f.timCounter.Enabled());
}

TEST(Layout, ControlArraysAndTheImageListHoldExactlyTheListedIndexes) {
  Form1 f;
  EXPECT_EQ(f.Find("Label1"), nullptr) << "arrays are found only with their index";
  for (int i : {0, 1, 2}) EXPECT_NO_THROW(f.Label1(i));
  for (int i : {-1, 3}) EXPECT_THROW(f.Label1(i), std::out_of_range);
  for (int i : {0, 1, 3, 13, 14}) EXPECT_NO_THROW(f.Label2(i));
  for (int i : {2, 4, 12, 15}) EXPECT_THROW(f.Label2(i), std::out_of_range);
  EXPECT_THROW(f.lbl(1), std::out_of_range);
  for (int i : {0, 11}) EXPECT_THROW(f.lblHSScore(i), std::out_of_range);
  for (int i = 1; i <= 10; ++i) EXPECT_EQ(f.lblHSPlace(i).Caption(), "[" + std::to_string(i) + "]");
  EXPECT_EQ(f.imlPlanets.Tag(15), "BOOM");
  EXPECT_EQ(f.imlPlanets.ListImage(16), PlanetImage(16));
  for (int n : {0, 17}) EXPECT_THROW(f.imlPlanets.ListImage(n), std::out_of_range);
}

}  // namespace
}  // namespace zbx
