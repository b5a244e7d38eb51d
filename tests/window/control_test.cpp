// Run-time behaviour of controls and the window: change notifications, option groups,
// selections, the timer, focus and event dispatch.
#include <gtest/gtest.h>

#include <vector>

#include "window/form1.h"

namespace zbx {
namespace {

struct Recorder : FormObserver {
  struct Change {
    const Control* control;
    RectTwips old;
  };
  std::vector<Change> changes;
  int titles = 0, pointers = 0, timers = 0, refreshes = 0;
  std::vector<Control*> focus;
  void ControlChanged(const Control& c, const RectTwips& old) override { changes.push_back({&c, old}); }
  void TitleChanged() override { ++titles; }
  void PointerChanged() override { ++pointers; }
  void TimerChanged() override { ++timers; }
  void FocusRequested(Control* c) override { focus.push_back(c); }
  void RefreshRequested(const Control&) override { ++refreshes; }
};

class Observed : public ::testing::Test {
 protected:
  Observed() { f.SetObserver(&rec); }
  Form1 f;
  Recorder rec;
};

TEST_F(Observed, MovingAPictureReportsWhereItWasDrawn) {
  f.picPlanet.Move(3000, 2000);
  ASSERT_EQ(rec.changes.size(), 1u);
  EXPECT_EQ(rec.changes[0].control, &f.picPlanet);
  EXPECT_EQ(rec.changes[0].old.left, 2040);
  EXPECT_EQ(rec.changes[0].old.top, 1440);
  f.picPlanet.SetTop(2100);
  ASSERT_EQ(rec.changes.size(), 2u);
  EXPECT_EQ(rec.changes[1].old.top, 2000);
  // Inside a container the old rectangle is still in window coordinates.
  f.lblOK.SetLeft(700);
  ASSERT_EQ(rec.changes.size(), 3u);
  EXPECT_EQ(rec.changes[2].old.left, 780 + 600);
  EXPECT_EQ(rec.changes[2].old.top, 1920 + 1920);
  EXPECT_EQ(f.lblOK.WindowBounds().left, 780 + 700);
}

TEST_F(Observed, NothingIsReportedWhenNothingChanges) {
  f.picPlanet.Move(2040, 1440);
  f.picBasket.SetLeft(2640);
  f.lblScore.SetCaption("0");
  f.lblNew.SetBackColor(0x000080);
  f.lblLifes.SetForeColor(0x00FF00);
  f.framePaused.SetVisible(false);
  f.Frame1.SetEnabled(true);
  f.picBasket.SetPicture(Picture::Basket);
  f.optMouse.SetValue(true);
  f.txtName.SetSelection(0, 0);
  f.timCounter.SetEnabled(false);
  f.SetCaption("Zorbanix!");
  f.picPlanet.SetTag("4");
  EXPECT_TRUE(rec.changes.empty());
  EXPECT_EQ(rec.titles + rec.timers, 0);
}

TEST_F(Observed, WindowTitlePointerAndTimerAreReportedOnce) {
  f.SetCaption("Zorbanix! - Ann");
  f.SetCaption("Zorbanix! - Ann");
  f.SetMouseIcon(f.picCursor.GetPicture());
  f.SetMouseIcon(Picture::Cursor);
  f.timCounter.SetEnabled(true);
  f.timCounter.SetEnabled(true);
  EXPECT_EQ(rec.titles, 1);
  EXPECT_EQ(rec.pointers, 1);
  EXPECT_EQ(rec.timers, 1);
  EXPECT_EQ(f.MouseIcon(), Picture::Cursor);
  f.txtName.Refresh();
  EXPECT_EQ(rec.refreshes, 1);
}

TEST_F(Observed, AutoSizedPictureTakesThePictureSize) {
  f.picPlanet.SetPicture(f.imlPlanets.ListImage(7));
  EXPECT_EQ(f.picPlanet.Width(), 480);
  EXPECT_EQ(f.picPlanet.Height(), 480);
  ASSERT_EQ(rec.changes.size(), 1u);
  EXPECT_EQ(rec.changes[0].old.width, 615) << "the repaint must cover the larger old box";
  EXPECT_EQ(rec.changes[0].old.height, 495);
  f.picBasket.SetPicture(PlanetImage(1));
  EXPECT_EQ(f.picBasket.Width(), 975) << "a box that is not autoSize keeps its size";
  EXPECT_EQ(f.picBasket.Height(), 750);
}

TEST_F(Observed, SelectingAnOptionClearsItsGroup) {
  f.optKeyboard.SetValue(true);
  EXPECT_TRUE(f.optKeyboard.Value());
  EXPECT_FALSE(f.optMouse.Value());
  EXPECT_EQ(rec.changes.size(), 2u);
  f.optMouse.SetValue(true);
  EXPECT_FALSE(f.optKeyboard.Value());
  f.optMouse.SetValue(false);
  EXPECT_FALSE(f.optKeyboard.Value()) << "clearing one selects no other";
}

TEST(Text, SelectionIsClampedToTheCharacters) {
  Form1 f;
  f.txtName.SetSelection(0, 100);
  EXPECT_EQ(f.txtName.SelLength(), 11);  // "<your name>"
  f.txtName.SetSelection(20, 5);
  EXPECT_EQ(f.txtName.SelStart(), 11);
  EXPECT_EQ(f.txtName.SelLength(), 0);
  f.txtName.SetSelection(-3, -1);
  EXPECT_EQ(f.txtName.SelStart(), 0);
  EXPECT_EQ(f.txtName.SelLength(), 0);
  f.txtName.SetText("Zo\u00eb \u00c5s");  // 6 characters, 8 bytes
  f.txtName.SetSelection(0, 99);
  EXPECT_EQ(f.txtName.SelLength(), 6);
  f.txtName.SetText("Al");
  EXPECT_EQ(f.txtName.SelLength(), 2) << "a shorter text shortens the selection";
}

TEST(Text, SettingTextIgnoresTheTypingLimit) {
  Form1 f;
  f.txtName.SetText("a name of twenty chrs");
  EXPECT_EQ(f.txtName.Text(), "a name of twenty chrs");
}

TEST(Events, TimerTicksOnlyWhileEnabled) {
  Form1 f;
  int ticks = 0;
  f.timCounter.Tick = [&] { ++ticks; };
  f.TimerTick();
  f.timCounter.SetEnabled(true);
  f.TimerTick();
  f.TimerTick();
  f.timCounter.SetEnabled(false);
  f.TimerTick();
  EXPECT_EQ(ticks, 2);
}

TEST(Events, KeysGoToTheFocusedControlOrTheWindow) {
  Form1 f;
  std::vector<std::string> got;
  f.on.KeyDown = [&](std::int16_t& k, std::int16_t&) { got.push_back("form " + std::to_string(k)); };
  f.txtName.on.KeyDown = [&](std::int16_t& k, std::int16_t&) { got.push_back("name " + std::to_string(k)); };
  f.txtName.on.KeyPress = [](std::int16_t& a) { a = a == ' ' ? 0 : a; };
  f.KeyDown(113, 0);
  EXPECT_EQ(f.KeyPress('x'), 'x') << "no focused control: the character is unchanged";
  f.frameNewGame.SetVisible(true);
  f.txtName.SetFocus();
  f.KeyDown(13, 0);
  EXPECT_EQ(f.KeyPress(' '), 0);
  EXPECT_EQ(f.KeyPress('a'), 'a');
  f.optMouse.SetFocus();  // no handler of its own: the key is not passed on by itself
  f.KeyDown(27, 0);
  EXPECT_EQ(got, (std::vector<std::string>{"form 113", "name 13"}));
}

TEST_F(Observed, FocusRunsGotFocusOnlyWhenItMoves) {
  int gained = 0;
  f.txtName.on.GotFocus = [&] { ++gained; };
  f.txtName.SetFocus();
  EXPECT_EQ(f.ActiveControl(), nullptr) << "a control on a hidden panel cannot take the focus";
  f.frameNewGame.SetVisible(true);
  f.txtName.SetFocus();
  f.txtName.SetFocus();
  EXPECT_EQ(f.ActiveControl(), &f.txtName);
  EXPECT_EQ(gained, 1);
  EXPECT_EQ(rec.focus, (std::vector<Control*>{&f.txtName, &f.txtName}));
  f.FocusChangedByView(&f.optMouse);
  f.FocusChangedByView(&f.txtName);
  f.FocusChangedByView(&f.txtName);
  EXPECT_EQ(gained, 2);
  EXPECT_EQ(rec.focus.size(), 2u) << "the view is not told what it reported itself";
  f.SetFocus(nullptr);
  EXPECT_EQ(f.ActiveControl(), nullptr);
}

TEST(Events, CloseRequestCanBeRefused) {
  Form1 f;
  EXPECT_TRUE(f.QueryUnload());
  std::int16_t seenReason = -1;
  bool refuse = true;
  f.on.QueryUnload = [&](std::int16_t& cancel, std::int16_t reason) {
    seenReason = reason;
    if (refuse) cancel = 1;
  };
  EXPECT_FALSE(f.QueryUnload(0));
  EXPECT_EQ(seenReason, 0);
  refuse = false;
  EXPECT_TRUE(f.QueryUnload(1));
  EXPECT_EQ(seenReason, 1);
}

TEST(Events, ClickReachesOnlyEnabledButtons) {
  Form1 f;
  int clicks = 0;
  f.lblNew.on.Click = [&] { ++clicks; };
  f.ClickAt(1000, 1080);
  f.lblNew.SetEnabled(false);
  f.ClickAt(1000, 1080);
  f.lblNew.SetEnabled(true);
  f.Frame1.SetEnabled(false);
  f.ClickAt(1000, 1080);
  EXPECT_EQ(clicks, 1);
}

}  // namespace
}  // namespace zbx
