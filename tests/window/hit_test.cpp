// Stacking order and hit testing: what lies in front of what, and which control a
// pointer position belongs to when controls or their containers are disabled; and the
// hover highlighting driven through those positions.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "window/form1.h"
#include "window/hover.h"

namespace zbx {
namespace {

bool InFront(const Form1& f, const Control& a, const Control& b) {
  const auto order = f.StackingOrder(a.container);
  const auto pa = std::find(order.begin(), order.end(), &a);
  const auto pb = std::find(order.begin(), order.end(), &b);
  return pa != order.end() && pb != order.end() && pa < pb;
}

TEST(Stacking, EveryWindowChildOnceAndFallingObjectsBehindBarBasketAndPanels) {
  Form1 f;
  const auto order = f.StackingOrder(nullptr);
  const auto topLevel =
      std::count_if(f.Controls().begin(), f.Controls().end(), [](const Control& c) { return c.container == nullptr; });
  EXPECT_EQ(order.size(), static_cast<std::size_t>(topLevel));
  for (const Control* c : order) EXPECT_EQ(std::count(order.begin(), order.end(), c), 1) << c->name;
  EXPECT_EQ(order.back(), &f.picPlanet);
  EXPECT_TRUE(InFront(f, f.picBasket, f.picPlanet));
  EXPECT_TRUE(InFront(f, f.frameCheat, f.framScores));
  EXPECT_TRUE(InFront(f, f.txtName, f.Label2(0)));  // windowed controls before labels
  EXPECT_TRUE(InFront(f, f.optMouse, f.lblOK));     // ... and before label-buttons
}

// A point in window twips and the control it should hit (no name: the window itself).
struct Probe {
  double x, y;
  const char* name = nullptr;
  int index = -1;
};

void ExpectHits(Form1& f, std::initializer_list<Probe> probes) {
  for (const Probe& p : probes) {
    const Control* want = p.name == nullptr ? nullptr : f.Find(p.name, p.index);
    EXPECT_EQ(f.HitTest(p.x, p.y), want) << p.x << "," << p.y << " " << (p.name ? p.name : "window");
  }
}

// What the hover steps below do not reach: overlapping labels, controls never hit, hidden
// panels, disabled containers, and panels that clip their children.
TEST(HitTest, DisabledAndHiddenControlsPassOnAndPanelsInFrontClipTheirChildren) {
  Form1 f;
  f.picCursor.SetVisible(true);
  ExpectHits(f, {{4500, 500, "lblScore"},  // later labels in front: the score over the best score
                 {300, 7600, "lblSound"},
                 {3600, 1600},    // picCursor is never hit
                 {5000, 3000}});  // the hidden new-game panel
  f.Frame1.SetEnabled(false);
  ExpectHits(f, {{3000, 1080}, {500, 600}});
  f.frameNewGame.SetVisible(true);
  ExpectHits(f, {{780 + 1900, 1920 + 400, "txtName"}});
  f.frameNewGame.SetVisible(false);
  f.frameGameOver.SetVisible(true);  // Label2(14) starts 120 left of its panel
  ExpectHits(f, {{1500 - 60, 3585 + 300}, {1500 + 60, 3585 + 300, "Label2", 14}});
  f.framScores.SetVisible(true);
  f.frameCheat.SetVisible(true);
  ExpectHits(f, {{3000, 4000, "lblHSName", 5}, {3000, 6400, "txtCheat"}, {3000, 6650, "frameCheat"}});
}

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

// The window with the hover handlers bound, as the game binds them.
class Pointer : public ::testing::Test {
 protected:
  Pointer() { BindHover(f); }
  std::vector<Control*> Buttons() { return {&f.lblNew, &f.lblStart, &f.lblPause, &f.lblOK, &f.lblCancel}; }
  std::string Colours() {
    std::string s;
    for (Control* b : Buttons())
      s += b->BackColor() == kButtonHover ? 'B' : b->BackColor() == kButtonNormal ? 'N' : '?';
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

TEST_F(Pointer, ButtonsLightThemselvesAndSurfacesReset) {
  Run({{kOverPlay, "BBBBB", "NNNNN"},   // the window resets all five
       {kOverStart, "BBBBB", "NBNBB"},  // a top-bar button leaves the panel's buttons alone
       {kOverNew, "NBBNN", "BNNNN"},
       {kOverPause, "BBBBB", "NNBBB"},
       {{2000, 800}, "BBBBB", "NNNBB"},    // the top bar's background dims only the top bar
       {{5000, 600}, "BBBBB", "NNNNN"},    // lblScore
       {{500, 600}, "BBBBB", "NNNNN"},     // lblLifes
       {kOverBasket, "BBBBB", "NNNNN"},    // a disabled picture box passes to the window
       {{2000, 500}, "NBNNN", "NBNNN"}});  // lblHS has no handler: nothing changes
  // The new-game panel's buttons; and a clicked button stays blue until the pointer moves again.
  f.frameNewGame.SetVisible(true);
  Run({{kOverOK, "BNNNB", "BNNBN"}, {kOverCancel, "NNNBN", "NNNNB"}, {kOverPanel, "BBBBB", "NNNNN"}});
  f.frameNewGame.SetVisible(false);
  f.lblStart.on.Click = [this] { f.lblStart.SetEnabled(false); };  // as starting a game does
  Run({{kOverStart, "NNNNN", "NBNNN"}});
  f.ClickAt(kOverStart.x, kOverStart.y);
  EXPECT_EQ(Colours(), "NBNNN");
  f.MouseMoveAt(kOverStart.x, kOverStart.y);  // now reaches Frame1
  EXPECT_EQ(Colours(), "NNNNN");
}

}  // namespace
}  // namespace zbx
