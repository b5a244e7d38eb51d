// The window's controls at run time: change notifications, selections and focus.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "window/form1.h"

namespace zbx {
namespace {

struct Recorder : FormObserver {
  std::vector<std::pair<const Control*, RectTwips>> changes;
  std::vector<Control*> focus;
  void ControlChanged(const Control& c, const RectTwips& old) override { changes.emplace_back(&c, old); }
  void FocusRequested(Control* c) override { focus.push_back(c); }
};

// Each real change is reported once with the old rectangle in window coordinates (an
// auto-sized picture takes its picture's size), no change not at all; a selection stays
// inside the text; the focus runs GotFocus only when it moves, and leaves a closing panel.
TEST(Controls, ChangesSelectionsAndFocus) {
  Form1 f;
  Recorder rec;
  f.SetObserver(&rec);
  f.lblOK.SetLeft(700);  // inside frameNewGame at 780, 1920
  f.picPlanet.SetPicture(f.imlPlanets.ListImage(7));
  ASSERT_EQ(rec.changes.size(), 2u);
  EXPECT_EQ(rec.changes[0].second.left, 780 + 600);
  EXPECT_EQ(rec.changes[1].second.width, 615);
  EXPECT_EQ(f.picPlanet.Width(), 480);
  const std::function<void()> changes[] = {
      [&] { f.picPlanet.Move(100, 200); },      [&] { f.lblScore.SetCaption("7"); },
      [&] { f.lblNew.SetBackColor(0x0000FF); }, [&] { f.framePaused.SetVisible(true); },
      [&] { f.Frame1.SetEnabled(false); },      [&] { f.picBasket.SetPicture(PlanetImage(1)); },
      [&] { f.txtName.SetSelection(1, 2); },
  };
  for (std::size_t i = 0; i < std::size(changes); ++i) {
    const std::size_t before = rec.changes.size();
    changes[i]();
    changes[i]();
    EXPECT_EQ(rec.changes.size(), before + 1) << "change " << i;
  }
  f.txtName.SetText("Zo\u00eb \u00c5s");  // 6 characters, 8 bytes
  f.txtName.SetSelection(0, 99);
  EXPECT_EQ(f.txtName.SelLength(), 6);
  f.txtName.SetText("Al");
  EXPECT_EQ(f.txtName.SelLength(), 2) << "a shorter text shortens the selection";

  int gained = 0;
  f.txtName.on.GotFocus = [&] { ++gained; };
  f.txtName.SetFocus();
  EXPECT_EQ(f.ActiveControl(), nullptr) << "a control on a hidden panel cannot take the focus";
  f.frameNewGame.SetVisible(true);
  f.optKeyboard.SetFocus();
  f.lblOK.SetFocus();  // labels never take it
  EXPECT_EQ(f.ActiveControl(), &f.optKeyboard);
  f.txtName.SetFocus();
  f.txtName.SetFocus();
  EXPECT_EQ(gained, 1);
  EXPECT_EQ(rec.focus, (std::vector<Control*>{&f.optKeyboard, &f.txtName, &f.txtName}));
  f.FocusChangedByView(&f.optMouse);
  f.FocusChangedByView(&f.txtName);
  f.FocusChangedByView(&f.txtName);
  EXPECT_EQ(gained, 2);
  EXPECT_EQ(rec.focus.size(), 3u) << "the view is not told what it reported itself";
  f.frameNewGame.SetVisible(false);  // the keys go back to the window
  EXPECT_EQ(f.ActiveControl(), nullptr);
}

}  // namespace
}  // namespace zbx
