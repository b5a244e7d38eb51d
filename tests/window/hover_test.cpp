// Hover highlighting driven through real pointer positions.
#include <gtest/gtest.h>

#include "window/form1.h"
#include "window/hover.h"

namespace zbx {
namespace {

constexpr Rgb kNavy = 0x000080, kBlue = 0x0000FF;

struct Point {
  double x, y;
};
constexpr Point kOverNew{1000, 1080}, kOverStart{3000, 1080}, kOverPause{5000, 1080};
constexpr Point kOverHS{2000, 500}, kOverScore{5000, 600}, kOverTopBar{2000, 800};
constexpr Point kOverOK{2000, 3950}, kOverCancel{4000, 3950}, kOverPanel{5000, 3000};
constexpr Point kOverPlay{3000, 6500}, kOverBasket{3000, 7500};

class Hover : public ::testing::Test {
 protected:
  Hover() { BindHover(f); }
  void MoveTo(Point p) { f.MouseMoveAt(p.x, p.y); }
  // The five label-buttons' colours: 'B' blue, 'N' navy.
  std::string Colours() {
    std::string s;
    for (Control* b : {&f.lblNew, &f.lblStart, &f.lblPause, &f.lblOK, &f.lblCancel}) {
      s += b->BackColor() == kBlue ? 'B' : b->BackColor() == kNavy ? 'N' : '?';
    }
    return s;
  }
  void LightAll() {
    for (Control* b : {&f.lblNew, &f.lblStart, &f.lblPause, &f.lblOK, &f.lblCancel}) b->SetBackColor(kBlue);
  }
  Form1 f;
};

TEST_F(Hover, EachTopBarButtonLightsItselfAndDimsItsNeighbours) {
  LightAll();
  MoveTo(kOverPlay);
  EXPECT_EQ(Colours(), "NNNNN");
  MoveTo(kOverStart);
  EXPECT_EQ(Colours(), "NBNNN");
  MoveTo(kOverNew);
  EXPECT_EQ(Colours(), "BNNNN");
  MoveTo(kOverPause);
  EXPECT_EQ(Colours(), "NNBNN");
  // The top-bar buttons leave the panel's buttons alone.
  f.lblOK.SetBackColor(kBlue);
  MoveTo(kOverStart);
  EXPECT_EQ(Colours(), "NBNBN");
}

TEST_F(Hover, ControlsWithoutHandlerChangeNothing) {
  MoveTo(kOverStart);
  MoveTo(kOverHS);
  EXPECT_EQ(Colours(), "NBNNN");
  MoveTo({300, 200});  // the caption Label1(0)
  EXPECT_EQ(Colours(), "NBNNN");
}

TEST_F(Hover, TopBarBackgroundDimsOnlyTheTopBar) {
  LightAll();
  MoveTo(kOverTopBar);
  EXPECT_EQ(Colours(), "NNNBB");
  LightAll();
  MoveTo(kOverScore);
  EXPECT_EQ(Colours(), "NNNNN");
}

TEST_F(Hover, NewGamePanelButtonsAndBackground) {
  f.frameNewGame.SetVisible(true);
  MoveTo(kOverOK);
  EXPECT_EQ(Colours(), "NNNBN");
  MoveTo(kOverCancel);
  EXPECT_EQ(Colours(), "NNNNB");
  f.lblNew.SetBackColor(kBlue);
  MoveTo(kOverPanel);
  EXPECT_EQ(Colours(), "NNNNN");
}

TEST_F(Hover, ClickedButtonStaysBlueUntilThePointerMovesAgain) {
  f.lblStart.on.Click = [this] { f.lblStart.SetEnabled(false); };  // as starting a game does
  MoveTo(kOverStart);
  f.ClickAt(kOverStart.x, kOverStart.y);
  EXPECT_FALSE(f.lblStart.Enabled());
  EXPECT_EQ(Colours(), "NBNNN");
  MoveTo(kOverStart);  // now reaches Frame1
  EXPECT_EQ(Colours(), "NNNNN");
  MoveTo(kOverStart);
  EXPECT_EQ(Colours(), "NNNNN") << "a disabled button never lights";
}

TEST_F(Hover, WithScoreboardOpenEverythingResets) {
  f.framScores.SetVisible(true);
  f.Frame1.SetEnabled(false);
  LightAll();
  MoveTo(kOverPlay);
  EXPECT_EQ(Colours(), "NNNNN");
  LightAll();
  MoveTo(kOverStart);  // the disabled top bar passes the movement to the window
  EXPECT_EQ(Colours(), "NNNNN");
}

TEST_F(Hover, DisabledPictureBoxesReachTheWindowHandler) {
  LightAll();
  MoveTo(kOverBasket);
  EXPECT_EQ(Colours(), "NNNNN");
}

TEST_F(Hover, HandlersGetCoordinatesOfTheirOwnSurface) {
  float cx = -1, cy = -1, wx = -1, wy = -1;
  f.lblStart.on.MouseMove = [&](std::int16_t, std::int16_t, float x, float y) { cx = x, cy = y; };
  f.on.MouseMove = [&](std::int16_t, std::int16_t, float x, float y) { wx = x, wy = y; };
  MoveTo(kOverStart);
  EXPECT_FLOAT_EQ(cx, 3000 - 120 - 2160);
  EXPECT_FLOAT_EQ(cy, 1080 - 960);
  MoveTo(kOverBasket);
  EXPECT_FLOAT_EQ(wx, 3000);
  EXPECT_FLOAT_EQ(wy, 7500);
}

}  // namespace
}  // namespace zbx
