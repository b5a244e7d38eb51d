// Stacking order and hit testing: what lies in front of what, and which control a
// pointer position belongs to when controls or their containers are disabled; and the
// hover highlighting driven through those positions.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

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

TEST(Stacking, EveryWindowChildAndFallingObjectsBehindTheBasketAndPanelsBehindTheConsole) {
  Form1 f;
  const auto order = f.StackingOrder(nullptr);
  const auto topLevel =
      std::count_if(f.Controls().begin(), f.Controls().end(), [](const Control& c) { return c.container == nullptr; });
  EXPECT_EQ(order.size(), static_cast<std::size_t>(topLevel));
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
  f.frameGameOver.SetVisible(true);  // Label2(14) starts 120 left of its panel
  ExpectHits(f, {{1500 - 60, 3585 + 300}, {1500 + 60, 3585 + 300, "Label2", 14}});
  f.framScores.SetVisible(true);
  f.frameCheat.SetVisible(true);
  ExpectHits(f, {{3000, 4000, "lblHSName", 5}, {3000, 6400, "txtCheat"}, {3000, 6650, "frameCheat"}});
}

// A pointer position in window twips, and the colours of lblNew, lblStart, lblPause, lblOK
// and lblCancel before and after it: 'B' blue, 'N' navy.
struct Step {
  double x, y;
  const char* before;
  const char* after;
};

// The window with the hover handlers bound, as the game binds them.
TEST(Pointer, ButtonsLightThemselvesAndSurfacesReset) {
  Form1 f;
  BindHover(f);
  Control* const buttons[] = {&f.lblNew, &f.lblStart, &f.lblPause, &f.lblOK, &f.lblCancel};
  const auto colours = [&buttons] {
    std::string s;
    for (Control* b : buttons) s += b->BackColor() == kButtonHover ? 'B' : b->BackColor() == kButtonNormal ? 'N' : '?';
    return s;
  };
  const auto run = [&](std::initializer_list<Step> steps) {
    for (const Step& s : steps) {
      for (std::size_t i = 0; i < 5; ++i) buttons[i]->SetBackColor(s.before[i] == 'B' ? kButtonHover : kButtonNormal);
      f.MouseMoveAt(s.x, s.y);
      EXPECT_EQ(colours(), s.after) << s.x << "," << s.y << " from " << s.before;
    }
  };
  run({{3000, 6500, "BBBBB", "NNNNN"},   // the play area: the window resets all five
       {3000, 1080, "BBBBB", "NBNBB"},   // Start: a top-bar button leaves the panel's buttons alone
       {1000, 1080, "NBBNN", "BNNNN"},   // New
       {5000, 1080, "BBBBB", "NNBBB"},   // Pause
       {2000, 800, "BBBBB", "NNNBB"},    // the top bar's background dims only the top bar
       {5000, 600, "BBBBB", "NNNNN"},    // lblScore
       {500, 600, "BBBBB", "NNNNN"},     // lblLifes
       {3000, 7500, "BBBBB", "NNNNN"},   // the basket, a disabled picture box, passes to the window
       {2000, 500, "NBNNN", "NBNNN"}});  // lblHS has no handler: nothing changes
  // The new-game panel's OK, Cancel and surface; and a clicked button stays blue until the
  // pointer moves again.
  f.frameNewGame.SetVisible(true);
  run({{2000, 3950, "BNNNB", "BNNBN"}, {4000, 3950, "NNNBN", "NNNNB"}, {5000, 3000, "BBBBB", "NNNNN"}});
  f.frameNewGame.SetVisible(false);
  f.lblStart.on.Click = [&f] { f.lblStart.SetEnabled(false); };  // as starting a game does
  run({{3000, 1080, "NNNNN", "NBNNN"}});
  f.ClickAt(3000, 1080);
  EXPECT_EQ(colours(), "NBNNN");
  f.MouseMoveAt(3000, 1080);  // now reaches Frame1
  EXPECT_EQ(colours(), "NNNNN");
}

}  // namespace
}  // namespace zbx
