// Hover highlighting driven through real pointer positions.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "window/form1.h"
#include "window/hover.h"

namespace zbx {
namespace {

struct Point {
  double x, y;
};
constexpr Point kOverNew{1000, 1080}, kOverStart{3000, 1080}, kOverPause{5000, 1080};
constexpr Point kOverOK{2000, 3950}, kOverCancel{4000, 3950}, kOverPanel{5000, 3000};
constexpr Point kOverPlay{3000, 6500}, kOverBasket{3000, 7500};

// The colours of lblNew, lblStart, lblPause, lblOK and lblCancel: 'B' blue, 'N' navy.
struct Step {
  Point at;
  const char* before;
  const char* after;
};

class Hover : public ::testing::Test {
 protected:
  Hover() { BindHover(f); }
  std::vector<Control*> Buttons() { return {&f.lblNew, &f.lblStart, &f.lblPause, &f.lblOK, &f.lblCancel}; }
  std::string Colours() {
    std::string s;
    for (Control* b : Buttons()) {
      s += b->BackColor() == kButtonHover ? 'B' : b->BackColor() == kButtonNormal ? 'N' : '?';
    }
    return s;
  }
  void Run(std::initializer_list<Step> steps) {
    for (const Step& s : steps) {
      for (std::size_t i = 0; i < 5; ++i) Buttons()[i]->SetBackColor(s.before[i] == 'B' ? kButtonHover : kButtonNormal);
      f.MouseMoveAt(s.at.x, s.at.y);
      EXPECT_EQ(Colours(), s.after) << s.at.x << "," << s.at.y << " from " << s.before;
    }
  }
  Form1 f;
};

TEST_F(Hover, TopBarButtonsLightThemselvesAndSurfacesReset) {
  Run({{kOverPlay, "BBBBB", "NNNNN"},     // the window resets all five
       {kOverStart, "BBBBB", "NBNBB"},    // a top-bar button leaves the panel's buttons alone
       {kOverNew, "NNNNN", "BNNNN"},
       {kOverPause, "BBBBB", "NNBBB"},
       {{2000, 800}, "BBBBB", "NNNBB"},   // the top bar's background dims only the top bar
       {{5000, 600}, "BBBBB", "NNNNN"},   // lblScore
       {{500, 600}, "BBBBB", "NNNNN"},    // lblLifes
       {kOverBasket, "BBBBB", "NNNNN"},   // a disabled picture box passes to the window
       {{2000, 500}, "NBNNN", "NBNNN"},   // lblHS has no handler: nothing changes
       {{300, 200}, "NBNNN", "NBNNN"}});  // nor has the caption Label1(0)
}

TEST_F(Hover, NewGamePanelAndOpenScoreboard) {
  f.frameNewGame.SetVisible(true);
  Run({{kOverOK, "BNNNB", "BNNBN"}, {kOverCancel, "NNNBN", "NNNNB"}, {kOverPanel, "BBBBB", "NNNNN"}});
  f.frameNewGame.SetVisible(false);
  f.framScores.SetVisible(true);
  f.Frame1.SetEnabled(false);
  Run({{kOverPlay, "BBBBB", "NNNNN"}, {kOverStart, "BBBBB", "NNNNN"}});
}

TEST_F(Hover, ClickedButtonStaysBlueUntilThePointerMovesAgain) {
  f.lblStart.on.Click = [this] { f.lblStart.SetEnabled(false); };  // as starting a game does
  Run({{kOverStart, "NNNNN", "NBNNN"}});
  f.ClickAt(kOverStart.x, kOverStart.y);
  EXPECT_EQ(Colours(), "NBNNN");
  f.MouseMoveAt(kOverStart.x, kOverStart.y);  // now reaches Frame1
  EXPECT_EQ(Colours(), "NNNNN");
}

}  // namespace
}  // namespace zbx
