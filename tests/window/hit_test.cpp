// Stacking order and hit testing: what lies in front of what, and which control a
// pointer position belongs to when controls or their containers are disabled.
#include <gtest/gtest.h>

#include <algorithm>

#include "window/form1.h"

namespace zbx {
namespace {

// Points in window twips (containers add their own offsets).
constexpr double kStartX = 3000, kStartY = 1080;   // lblStart
constexpr double kTopBarX = 2000, kTopBarY = 800;  // Frame1, between its labels
constexpr double kHSX = 2000, kHSY = 500;          // lblHS
constexpr double kLifesX = 500, kLifesY = 600;     // lblLifes
constexpr double kBasketX = 3000, kBasketY = 7500; // picBasket
constexpr double kPlayX = 3000, kPlayY = 6500;     // open play area, below every panel but the cheat console

bool InFront(const Form1& f, const Control& a, const Control& b) {
  const auto order = f.StackingOrder(a.container);
  const auto pa = std::find(order.begin(), order.end(), &a);
  const auto pb = std::find(order.begin(), order.end(), &b);
  return pa != order.end() && pb != order.end() && pa < pb;
}

TEST(Stacking, EveryDirectChildOfTheWindowIsStackedOnce) {
  Form1 f;
  const auto order = f.StackingOrder(nullptr);
  std::size_t topLevel = 0;
  for (const Control& c : f.Controls()) {
    if (c.container != nullptr) continue;
    ++topLevel;
    EXPECT_EQ(std::count(order.begin(), order.end(), &c), 1) << c.name;
  }
  EXPECT_EQ(order.size(), topLevel);
  EXPECT_EQ(order.front(), &f.Picture4);
  EXPECT_EQ(order.back(), &f.picPlanet);
}

TEST(Stacking, FallingObjectPassesBehindBasketTopBarAndPanels) {
  Form1 f;
  EXPECT_TRUE(InFront(f, f.Frame1, f.Picture1));
  EXPECT_TRUE(InFront(f, f.Picture1, f.picPlanet));
  EXPECT_TRUE(InFront(f, f.picBasket, f.picPlanet));
  for (Control* panel : {&f.frameNewGame, &f.frameHelp, &f.framScores, &f.framePaused, &f.frameGameOver}) {
    EXPECT_TRUE(InFront(f, *panel, f.picPlanet)) << panel->name;
    EXPECT_TRUE(InFront(f, f.frameCheat, *panel)) << panel->name;
  }
  EXPECT_TRUE(InFront(f, f.framScores, f.framePaused));
}

TEST(Stacking, WindowedChildrenLieInFrontOfLabels) {
  Form1 f;
  // Label2(0) reaches under the name box; the box wins.
  EXPECT_TRUE(InFront(f, f.txtName, f.Label2(0)));
  f.frameNewGame.SetVisible(true);
  EXPECT_EQ(f.HitTest(780 + 1900, 1920 + 400), &f.txtName);
  // Among labels, later rows lie in front: the score over the best score.
  EXPECT_EQ(f.HitTest(4500, 500), &f.lblScore);
}

TEST(HitTest, TopBarIsInFrontOfPicture1) {
  Form1 f;
  EXPECT_EQ(f.HitTest(kTopBarX, kTopBarY), &f.Frame1);
  EXPECT_EQ(f.HitTest(kLifesX, kLifesY), &f.lblLifes);
  EXPECT_EQ(f.HitTest(kStartX, kStartY), &f.lblStart);
  // Below the bar's bottom edge (1335) lies only the disabled Picture1: the window.
  EXPECT_EQ(f.HitTest(kTopBarX, 1400), nullptr);
}

TEST(HitTest, DisabledPictureBoxesPassToTheWindow) {
  Form1 f;
  EXPECT_EQ(f.HitTest(kBasketX, kBasketY), nullptr);
  EXPECT_EQ(f.HitTest(2300, 1700), nullptr);  // picPlanet
  EXPECT_EQ(f.HitTest(150, 7600), nullptr);   // the strip of picSound left of Picture4
  EXPECT_EQ(f.HitTest(300, 7600), &f.lblSound);
}

TEST(HitTest, DisabledLabelButtonPassesToItsFrame) {
  Form1 f;
  f.lblStart.SetEnabled(false);
  EXPECT_EQ(f.HitTest(kStartX, kStartY), &f.Frame1);
  f.Frame1.SetEnabled(false);
  EXPECT_EQ(f.HitTest(kStartX, kStartY), nullptr);
}

TEST(HitTest, EverythingInsideADisabledFrameGoesToTheWindow) {
  Form1 f;
  f.Frame1.SetEnabled(false);
  for (auto [x, y] : {std::pair{kLifesX, kLifesY}, {kHSX, kHSY}, {kTopBarX, kTopBarY}, {kStartX, kStartY}}) {
    EXPECT_EQ(f.HitTest(x, y), nullptr) << x << "," << y;
  }
}

TEST(HitTest, PointerPicturesAreNeverHit) {
  Form1 f;
  f.picCursor.SetVisible(true);
  f.picInvisible.SetVisible(true);
  EXPECT_EQ(f.HitTest(3600, 1600), nullptr);  // picCursor
  EXPECT_EQ(f.HitTest(3000, 1600), nullptr);  // picInvisible
}

TEST(HitTest, HiddenPanelsAreNotHitAndShownOnesCatchTheirBackground) {
  Form1 f;
  const double x = 5000, y = 3000;  // inside frameNewGame, clear of its children
  EXPECT_EQ(f.HitTest(x, y), nullptr);
  f.frameNewGame.SetVisible(true);
  EXPECT_EQ(f.HitTest(x, y), &f.frameNewGame);
  EXPECT_EQ(f.HitTest(2000, 3950), &f.lblOK);
  EXPECT_EQ(f.HitTest(4000, 3950), &f.lblCancel);
}

TEST(HitTest, ScoreboardCoversPausedPanelAndCheatConsoleCoversAll) {
  Form1 f;
  f.framePaused.SetVisible(true);
  EXPECT_EQ(f.HitTest(3000, 4000), &f.Label2(13));
  f.framScores.SetVisible(true);
  EXPECT_EQ(f.HitTest(3000, 4000), &f.lblHSName(5));
  f.frameHelp.SetVisible(true);
  f.frameCheat.SetVisible(true);
  EXPECT_EQ(f.HitTest(3000, 6400), &f.txtCheat);
  EXPECT_EQ(f.HitTest(3000, 6650), &f.frameCheat);
}

TEST(HitTest, ChildrenAreClippedToTheirContainer) {
  Form1 f;
  f.frameGameOver.SetVisible(true);
  // Label2(14) starts 120 left of its panel; that strip is outside the panel.
  EXPECT_EQ(f.HitTest(1500 - 60, 3585 + 300), nullptr);
  EXPECT_EQ(f.HitTest(1500 + 60, 3585 + 300), &f.Label2(14));
}

}  // namespace
}  // namespace zbx
