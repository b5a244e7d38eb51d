// The window as laid out: start state by control family, the control arrays, the help
// text and the image list.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "window/form1.h"

namespace zbx {
namespace {

TEST(Layout, NamedControlsAreBoundToTheirOwnRows) {
  Form1 f;
  EXPECT_EQ(f.Caption(), "Zorbanix!");
  EXPECT_EQ(f.ScaleWidth(), 6255);
  EXPECT_EQ(f.ScaleHeight(), 7905);
  EXPECT_EQ(&f.Frame1, f.Find("Frame1"));
  EXPECT_EQ(&f.txtCheat, f.Find("txtCheat"));
  EXPECT_EQ(&f.lblPause, f.Find("lblPause"));
  EXPECT_EQ(f.Find("nothing"), nullptr);
  EXPECT_EQ(f.Find("Label1"), nullptr) << "arrays are found only with their index";
  EXPECT_EQ(&f.Label1(2), f.Find("Label1", 2));
}

TEST(Layout, TopBarLabelButtonsAreNavyCentredAndEnabled) {
  Form1 f;
  for (Control* b : {&f.lblNew, &f.lblStart, &f.lblPause}) {
    SCOPED_TRACE(b->name);
    EXPECT_EQ(b->container, &f.Frame1);
    EXPECT_EQ(b->kind, ControlKind::LabelButton);
    EXPECT_EQ(b->BackColor(), 0x000080u);
    EXPECT_EQ(b->ForeColor(), 0xFFFFFFu);
    EXPECT_FALSE(b->transparent);
    EXPECT_EQ(b->align, Align::Centre);
    EXPECT_TRUE(b->Enabled());
    EXPECT_EQ(b->Top(), 960);
  }
  EXPECT_FALSE(f.Frame1.border);
  EXPECT_TRUE(f.Frame1.Visible());
}

TEST(Layout, PictureBoxesStartAsTheGameExpects) {
  Form1 f;
  for (Control* p : {&f.picPlanet, &f.picBasket, &f.Picture1, &f.Picture2, &f.picSound}) {
    EXPECT_FALSE(p->Enabled()) << p->name;
  }
  EXPECT_TRUE(f.Picture3.Enabled());
  EXPECT_TRUE(f.Picture4.Enabled());
  EXPECT_EQ(f.picPlanet.GetPicture(), Picture::None);
  EXPECT_TRUE(f.picPlanet.autoSize);
  EXPECT_EQ(f.picBasket.GetPicture(), Picture::Basket);
  EXPECT_FALSE(f.picBasket.autoSize);
  EXPECT_EQ(f.picBasket.Width(), 975);
  EXPECT_FALSE(f.picCursor.Visible());
  EXPECT_FALSE(f.picInvisible.Visible());
  EXPECT_EQ(f.picCursor.GetPicture(), Picture::Cursor);
  EXPECT_EQ(f.picInvisible.GetPicture(), Picture::Invisible);
  EXPECT_EQ(f.lblSound.container, &f.Picture4);
  EXPECT_EQ(f.lblSpeed.container, &f.Picture3);
  EXPECT_EQ(f.lbl(0).container, &f.Picture3);
  EXPECT_TRUE(f.lblSound.autoSize);
  EXPECT_TRUE(f.lblSpeed.autoSize);
}

TEST(Layout, PanelsStartHiddenWithBorders) {
  Form1 f;
  for (Control* p : {&f.frameNewGame, &f.frameHelp, &f.framScores, &f.framePaused, &f.frameGameOver,
                     &f.frameCheat}) {
    SCOPED_TRACE(p->name);
    EXPECT_FALSE(p->Visible());
    EXPECT_TRUE(p->border);
    EXPECT_EQ(p->container, nullptr);
    EXPECT_EQ(p->BackColor(), 0x000000u);
  }
  EXPECT_EQ(f.frameCheat.ForeColor(), 0x000000u);
  EXPECT_EQ(f.txtCheat.container, &f.frameCheat);
}

TEST(Layout, NewGamePanelContents) {
  Form1 f;
  EXPECT_EQ(f.txtName.Text(), "<your name>");
  EXPECT_EQ(f.txtName.maxLength, 15);
  EXPECT_EQ(f.txtCheat.maxLength, 0);
  EXPECT_TRUE(f.optMouse.Value());
  EXPECT_FALSE(f.optKeyboard.Value());
  EXPECT_EQ(f.lblOK.container, &f.frameNewGame);
  // Tab order follows the table: the name box, then Mouse, then Keyboard.
  int name = -1, mouse = -1, keyboard = -1, i = 0;
  for (const Control& c : f.Controls()) {
    if (&c == &f.txtName) name = i;
    if (&c == &f.optMouse) mouse = i;
    if (&c == &f.optKeyboard) keyboard = i;
    ++i;
  }
  EXPECT_LT(name, mouse);
  EXPECT_LT(mouse, keyboard);
}

TEST(Layout, ScoreboardRowsAre360Apart) {
  Form1 f;
  for (int i = 1; i <= 10; ++i) {
    SCOPED_TRACE(i);
    const double top = 480 + 360 * (i - 1);
    EXPECT_EQ(f.lblHSPlace(i).Caption(), "[" + std::to_string(i) + "]");
    EXPECT_EQ(f.lblHSPlace(i).Width(), i == 10 ? 375 : 255);
    for (Control* c : {&f.lblHSPlace(i), &f.lblHSName(i), &f.lblHSScore(i)}) {
      EXPECT_EQ(c->Top(), top);
      EXPECT_EQ(c->container, &f.framScores);
    }
    EXPECT_EQ(f.lblHSName(i).Caption(), "");
    EXPECT_EQ(f.lblHSScore(i).align, Align::Right);
  }
}

TEST(Layout, ControlArraysHoldExactlyTheListedIndexes) {
  Form1 f;
  for (int i : {0, 1, 2}) EXPECT_NO_THROW(f.Label1(i));
  for (int i : {-1, 3}) EXPECT_THROW(f.Label1(i), std::out_of_range);
  for (int i : {0, 1, 3, 13, 14}) EXPECT_NO_THROW(f.Label2(i));
  for (int i : {-1, 2, 4, 5, 12, 15}) EXPECT_THROW(f.Label2(i), std::out_of_range);
  EXPECT_NO_THROW(f.lbl(0));
  EXPECT_THROW(f.lbl(1), std::out_of_range);
  for (int i : {0, 11}) {
    EXPECT_THROW(f.lblHSPlace(i), std::out_of_range);
    EXPECT_THROW(f.lblHSName(i), std::out_of_range);
    EXPECT_THROW(f.lblHSScore(i), std::out_of_range);
  }
  // Label2's elements lie in four different panels.
  EXPECT_EQ(f.Label2(1).container, &f.frameNewGame);
  EXPECT_EQ(f.Label2(3).container, &f.frameHelp);
  EXPECT_EQ(f.Label2(13).container, &f.framePaused);
  EXPECT_EQ(f.Label2(14).container, &f.frameGameOver);
  EXPECT_EQ(f.Label2(14).Left(), -120);
}

TEST(Layout, HelpTextIsOneWrapped1024CharacterCaption) {
  Form1 f;
  const std::string& help = f.Label2(3).Caption();
  ASSERT_EQ(help.size(), 1024u);
  EXPECT_TRUE(f.Label2(3).wordWrap);
  // Each numbered item sits where the padding of the items before it puts it.
  const std::pair<const char*, std::size_t> items[] = {
      {"[1] To start new game", 0}, {"[2] Press 'Start'", 112}, {"[3]  Use chosen", 230},
      {"[4] To pause", 351},        {"[5] M key", 471},         {"[6] S key", 588},
      {"[7] F1 shows", 722},        {"[8] F4 shows", 858},      {"[9] To quit game press Esc key.", 993},
  };
  for (const auto& [text, at] : items) EXPECT_EQ(help.find(text), at) << text;
  EXPECT_EQ(help.substr(help.size() - 4), "key.");
  // The 101 blanks after item 6 push item 7 onto a line of its own.
  const std::size_t afterSix = help.find("(on/off).") + 9;
  EXPECT_EQ(help.find_first_not_of(' ', afterSix) - afterSix, 101u);
}

TEST(Layout, ImageListAndTimer) {
  Form1 f;
  EXPECT_EQ(f.imlPlanets.Tag(1), "1");
  EXPECT_EQ(f.imlPlanets.Tag(15), "BOOM");
  EXPECT_EQ(f.imlPlanets.ListImage(16), PlanetImage(16));
  for (int n : {0, 17, -1}) {
    EXPECT_THROW(f.imlPlanets.ListImage(n), std::out_of_range);
    EXPECT_THROW(f.imlPlanets.Tag(n), std::out_of_range);
  }
  EXPECT_FALSE(f.timCounter.Enabled());
  EXPECT_EQ(f.timCounter.Interval(), 10);
}

}  // namespace
}  // namespace zbx
