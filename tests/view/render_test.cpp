// The window as painted: background, labels, label-buttons, panels and pictures, the
// stacking order as it shows on screen, and a frame of a running game.
#include <QFontInfo>
#include <QPaintEvent>
#include <QRegion>

#include "game/engine_events.h"
#include "game/game.h"
#include "support/fake_platform.h"
#include "view_fixture.h"
#include "window/qt/fonts.h"

namespace zbx::qt::test {
namespace {

const QColor kNavy(0x00, 0x00, 0x80);

TEST_F(ViewTest, StartWindowIsBlackWithTheGreenLivesAndNavyButtonsInPlace) {
  const QImage image = Render("view_start");
  ASSERT_EQ(image.size(), QSize(417, 527));
  EXPECT_TRUE(IsBlack(At(image, 3000, 4000)));
  EXPECT_TRUE(Any(image, form.lblLifes.WindowBounds(),
                  [](const QColor& c) { return c.green() > 200 && c.red() < 90 && c.blue() < 90; }));
  for (const Control* b : {&form.lblNew, &form.lblStart, &form.lblPause}) {
    const RectTwips r = b->WindowBounds();
    EXPECT_EQ(At(image, r.left + 30, r.top + 30), kNavy) << b->name;
    EXPECT_EQ(At(image, r.left + r.width - 30, r.top + r.height - 30), kNavy) << b->name;
    EXPECT_TRUE(IsBlack(At(image, r.left - 20, r.top + 30))) << b->name;
  }
}

TEST_F(ViewTest, DisabledLabelButtonGreysItsCaptionButKeepsItsColour) {
  const auto grey = [](const QColor& c) { return c == QColor(0x80, 0x80, 0x80); };
  const RectTwips r = form.lblStart.WindowBounds();
  EXPECT_FALSE(Any(Render(), r, grey));
  form.lblStart.SetEnabled(false);
  EXPECT_TRUE(Any(Render(), r, grey));
  EXPECT_EQ(At(Render(), r.left + 30, r.top + 30), kNavy);
  form.lblStart.SetEnabled(true);
  form.Frame1.SetEnabled(false);  // a disabled container greys its label-buttons too
  EXPECT_TRUE(Any(Render(), form.lblNew.WindowBounds(), grey));
}

TEST_F(ViewTest, FallingObjectHidesBehindTheTopBarAndTheOpaqueBasket) {
  const QImage empty = Render();
  form.picPlanet.SetPicture(form.imlPlanets.ListImage(13));  // fills its 32 x 32 frame
  form.picPlanet.SetTop(840);
  EXPECT_TRUE(SameArea(empty, Render("view_planet_840"), {form.picPlanet.Left(), 840, 480, 480}));
  form.picPlanet.SetTop(1200);  // 1200..1680: only what lies below the bar's edge at 1455 shows
  EXPECT_FALSE(SameArea(empty, Render(), {form.picPlanet.Left(), 1470, 480, 195}));
  form.picPlanet.Move(form.picBasket.Left(), form.picBasket.Top());
  EXPECT_TRUE(SameArea(empty, Render(), form.picBasket.WindowBounds()));
}

TEST_F(ViewTest, PanelShowsItsCaptionAndBorder) {
  form.frameNewGame.SetVisible(true);
  const QImage image = Render("view_new_game");
  const RectTwips panel = form.frameNewGame.WindowBounds();
  EXPECT_TRUE(Any(image, {panel.left + 120, panel.top, 900, 200}, [](const QColor& c) { return c == Qt::white; }));
  EXPECT_FALSE(IsBlack(At(image, panel.left + panel.width - 300, panel.top + 7 * 15)));
  EXPECT_FALSE(IsBlack(At(image, panel.left, panel.top + 1000)));
}

TEST_F(ViewTest, LabelsUseTheComicFaceAndTextBoxesTheDefaultOne) {
  const QFontInfo info(LabelFont(9));
  EXPECT_TRUE(info.family().contains("Comic")) << info.family().toStdString();
  EXPECT_EQ(info.pixelSize(), 12);
  EXPECT_EQ(QFontInfo(LabelFont(20.25)).pixelSize(), 27);
  EXPECT_TRUE(Native(form.optMouse)->fontInfo().family().contains("Comic"));
  EXPECT_EQ(Native(form.txtName)->font().family(), QApplication::font().family());
}

TEST_F(ViewTest, MovingPictureRepaintsOnlyWhereItWasAndWhereItIs) {
  struct PaintRecorder : QObject {
    QRegion painted;
    bool eventFilter(QObject*, QEvent* e) override {
      if (e->type() == QEvent::Paint) painted += static_cast<QPaintEvent*>(e)->region();
      return false;
    }
  } recorder;
  form.picPlanet.SetPicture(form.imlPlanets.ListImage(6));
  form.picPlanet.SetTop(3000);
  QApplication::processEvents();
  view.installEventFilter(&recorder);
  form.picPlanet.SetTop(3150);
  QApplication::processEvents();
  view.removeEventFilter(&recorder);
  const QRect before(static_cast<int>(form.picPlanet.Left() / 15), 200, 32, 32);
  EXPECT_FALSE(recorder.painted.isEmpty());
  EXPECT_TRUE(recorder.painted.subtracted(before.united(before.translated(0, 10))).isEmpty())
      << recorder.painted.boundingRect().y() << "+" << recorder.painted.boundingRect().height();
}

// The engine drives the model with the scripted platform; the view paints it.
TEST_F(ViewTest, RunningFrameShowsTheFallingPlanetAndTheBasket) {
  zbx::test::FakePlatform platform;
  Game game{form, platform};
  BindEngineEvents(game);
  form.picBasket.SetLeft(600);
  game.s.GameRunning = kTrue;
  game.s.LaunchPending = kTrue;
  form.timCounter.SetEnabled(true);
  // Launch image 6 (a class-4 planet) in column 3000; the roll keeps it a planet.
  platform.draws = {0.495, (6 - 0.5) / 14, (3000 + 0.5) / (6255 - 480 + 1)};
  while (form.picPlanet.Top() < 3500 || game.s.LaunchPending == kTrue) form.TimerTick();
  const QImage image = Render("view_running_frame");
  form.timCounter.SetEnabled(false);
  const RectTwips planet = form.picPlanet.WindowBounds();
  ASSERT_EQ(planet.left, 3000);
  const QImage art(QString(ZBX_ASSETS_DIR) + "/planet06.png");
  EXPECT_EQ(At(image, planet.left + 240, planet.top + 240), art.pixelColor(16, 16)) << "the planet's middle";
  const QColor rim = At(image, form.picBasket.Left() + 32 * 15, form.picBasket.Top() + 3 * 15);
  EXPECT_GT(rim.red(), 150);
  EXPECT_LT(rim.green(), 100);
}

}  // namespace
}  // namespace zbx::qt::test
