// The window as laid out: start state, the control arrays, the help text and the image list.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "window/form1.h"

namespace zbx {
namespace {

TEST(Layout, WindowStartsWithPanelsHiddenAndTheTimerOff) {
  Form1 f;
  EXPECT_EQ(f.Caption(), "Zorbanix!");
  EXPECT_EQ(f.ScaleWidth(), 6255);
  EXPECT_EQ(f.ScaleHeight(), 7905);
  for (Control* p : {&f.frameNewGame, &f.frameHelp, &f.framScores, &f.framePaused, &f.frameGameOver,
                     &f.frameCheat, &f.picCursor, &f.picInvisible}) {
    EXPECT_FALSE(p->Visible()) << p->name;
  }
  EXPECT_TRUE(f.picPlanet.autoSize);
  EXPECT_FALSE(f.picBasket.autoSize);
  EXPECT_TRUE(f.optMouse.Value());
  EXPECT_FALSE(f.optKeyboard.Value());
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
  for (int i = 1; i <= 10; ++i) {
    EXPECT_EQ(f.lblHSPlace(i).Caption(), "[" + std::to_string(i) + "]");
    for (Control* c : {&f.lblHSPlace(i), &f.lblHSName(i), &f.lblHSScore(i)}) {
      EXPECT_EQ(c->Top(), 480 + 360 * (i - 1)) << c->name << i;
      EXPECT_EQ(c->container, &f.framScores) << c->name << i;
    }
  }
  EXPECT_EQ(f.Label2(13).container, &f.framePaused);
  EXPECT_EQ(f.Label2(14).container, &f.frameGameOver);
  EXPECT_EQ(f.Label2(3).Caption().size(), 1024u);  // the help text
  EXPECT_TRUE(f.Label2(3).wordWrap);
  EXPECT_EQ(f.imlPlanets.Tag(15), "BOOM");
  EXPECT_EQ(f.imlPlanets.ListImage(16), PlanetImage(16));
  for (int n : {0, 17}) EXPECT_THROW(f.imlPlanets.ListImage(n), std::out_of_range);
}

}  // namespace
}  // namespace zbx
