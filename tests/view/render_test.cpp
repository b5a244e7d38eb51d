// The window as painted: background, labels, label-buttons, panels and pictures, and
// the stacking order as it shows on screen.
#include <QFontInfo>
#include <QPaintEvent>
#include <QRegion>

#include "view_fixture.h"
#include "window/qt/fonts.h"

namespace zbx::qt::test {
namespace {

const QColor kNavy(0x00, 0x00, 0x80);

bool IsGreen(const QColor& c) { return c.green() > 200 && c.red() < 90 && c.blue() < 90; }
bool IsLight(const QColor& c) { return c.lightness() > 160; }

TEST_F(ViewTest, StartWindowIsBlackWithTheTopBarAndBasket) {
  const QImage image = RenderTo("view_start");
  ASSERT_EQ(image.size(), QSize(417, 527));
  EXPECT_TRUE(IsBlack(At(image, 3000, 4000)));  // the empty play area
  EXPECT_TRUE(IsBlack(At(image, 15, 15)));
  EXPECT_TRUE(IsBlack(At(image, 6240, 7890)));
  // The green "25" of the lives counter lies in front of Picture1.
  EXPECT_TRUE(Any(image, form.lblLifes.WindowBounds(), IsGreen));
  EXPECT_TRUE(Any(image, form.lblScore.WindowBounds(), IsGreen));
  EXPECT_TRUE(Any(image, form.Label1(0).WindowBounds(), IsLight));
  // The basket's red rim at the top-left of its box.
  const QColor rim = At(image, form.picBasket.Left() + 32 * 15, form.picBasket.Top() + 3 * 15);
  EXPECT_GT(rim.red(), 120);
  EXPECT_LT(rim.green(), 80);
}

TEST_F(ViewTest, LabelButtonsAreNavyAtTheirPlaces) {
  const QImage image = Render();
  for (const Control* b : {&form.lblNew, &form.lblStart, &form.lblPause}) {
    const RectTwips r = b->WindowBounds();
    SCOPED_TRACE(b->name);
    EXPECT_EQ(At(image, r.left + 30, r.top + 30), kNavy);
    EXPECT_EQ(At(image, r.left + r.width - 30, r.top + r.height - 30), kNavy);
    EXPECT_TRUE(IsBlack(At(image, r.left - 20, r.top + 30)));  // nothing beside it
    EXPECT_TRUE(Any(image, r, IsLight));                        // the white caption
  }
}

TEST_F(ViewTest, DisabledLabelButtonGreysItsCaptionButKeepsItsColour) {
  const auto grey = [](const QColor& c) { return c == QColor(0x80, 0x80, 0x80); };
  const RectTwips r = form.lblStart.WindowBounds();
  EXPECT_FALSE(Any(Render(), r, grey));
  form.lblStart.SetEnabled(false);
  QImage image = Render();
  EXPECT_TRUE(Any(image, r, grey));
  EXPECT_EQ(At(image, r.left + 30, r.top + 30), kNavy);
  // A disabled container greys its label-buttons too.
  form.lblStart.SetEnabled(true);
  form.Frame1.SetEnabled(false);
  image = Render();
  EXPECT_TRUE(Any(image, form.lblNew.WindowBounds(), grey));
  EXPECT_TRUE(Any(image, form.lblStart.WindowBounds(), grey));
}

TEST_F(ViewTest, FallingObjectHidesBehindTheTopBarUntilItComesOutBelowIt) {
  const QImage empty = Render();
  form.picPlanet.SetPicture(form.imlPlanets.ListImage(13));  // fills its 32 x 32 frame
  form.picPlanet.SetTop(840);
  QApplication::processEvents();
  const QImage hidden = RenderTo("view_planet_840");
  EXPECT_TRUE(SameArea(empty, hidden, {form.picPlanet.Left(), 840, 480, 480}));

  form.picPlanet.SetTop(1200);  // 1200..1680: the part below 1455 shows
  const QImage half = RenderTo("view_planet_1200");
  EXPECT_TRUE(SameArea(empty, half, {form.picPlanet.Left(), 1200, 480, 255}));
  EXPECT_FALSE(SameArea(empty, half, {form.picPlanet.Left(), 1470, 480, 195}));
}

TEST_F(ViewTest, FallingObjectPassesBehindTheBasket) {
  form.picPlanet.SetPicture(form.imlPlanets.ListImage(13));
  form.picPlanet.Move(form.picBasket.Left(), form.picBasket.Top());
  const QImage image = Render();
  // The basket's box is opaque black: the planet does not show through its net.
  const RectTwips r = form.picBasket.WindowBounds();
  EXPECT_EQ(At(image, r.left + 15 * 15, r.top + 20 * 15).rgb() & 0xFFFFFF,
            At(Render(), r.left + 15 * 15, r.top + 20 * 15).rgb() & 0xFFFFFF);
  form.picPlanet.SetPicture(Picture::None);
  EXPECT_TRUE(SameArea(image, Render(), r));
}

TEST_F(ViewTest, ScoreboardCoversThePausedPanel) {
  form.framScores.SetVisible(true);
  const QImage scoresOnly = Render();
  form.framePaused.SetVisible(true);
  const QImage both = RenderTo("view_scores_over_paused");
  EXPECT_TRUE(SameArea(scoresOnly, both, form.framePaused.WindowBounds()));
  // ... while the paused panel alone shows its big white caption there.
  form.framScores.SetVisible(false);
  const QImage pausedOnly = RenderTo("view_paused");
  EXPECT_TRUE(Any(pausedOnly, form.Label2(13).WindowBounds(), [](const QColor& c) { return c == Qt::white; }));
}

TEST_F(ViewTest, PanelsShowTheirCaptionsBordersAndContents) {
  form.frameNewGame.SetVisible(true);
  form.frameCheat.SetVisible(true);
  QImage image = RenderTo("view_new_game");
  const RectTwips panel = form.frameNewGame.WindowBounds();
  // The caption breaks the border line at the top-left; the border runs on to the right.
  EXPECT_TRUE(Any(image, {panel.left + 120, panel.top, 900, 200}, [](const QColor& c) { return c == Qt::white; }));
  EXPECT_FALSE(IsBlack(At(image, panel.left + panel.width - 300, panel.top + 7 * 15)));
  EXPECT_FALSE(IsBlack(At(image, panel.left, panel.top + 1000)));
  EXPECT_EQ(At(image, form.lblOK.WindowBounds().left + 30, form.lblOK.WindowBounds().top + 30), kNavy);

  form.frameNewGame.SetVisible(false);
  form.frameCheat.SetVisible(false);
  form.frameHelp.SetVisible(true);
  image = RenderTo("view_help");
  EXPECT_TRUE(Any(image, form.Label2(3).WindowBounds(), IsLight));
  form.frameHelp.SetVisible(false);
  form.frameGameOver.SetVisible(true);
  image = RenderTo("view_game_over");
  EXPECT_TRUE(Any(image, form.Label2(14).WindowBounds(), [](const QColor& c) { return c == Qt::white; }));
}

TEST_F(ViewTest, LabelsUseTheComicFace) {
  const QFontInfo info(LabelFont(9));
  EXPECT_TRUE(info.family().contains("Comic")) << info.family().toStdString();
  EXPECT_EQ(info.pixelSize(), 12);
  EXPECT_EQ(QFontInfo(LabelFont(20.25)).pixelSize(), 27);
  EXPECT_EQ(QFontInfo(LabelFont(36)).pixelSize(), 48);
  const QFontInfo option = view.NativeWidget(form.optMouse)->fontInfo();
  EXPECT_TRUE(option.family().contains("Comic")) << option.family().toStdString();
  // Text boxes keep the default user-interface face.
  EXPECT_EQ(view.NativeWidget(form.txtName)->font().family(), QApplication::font().family());
}

// Collects the areas the window repaints.
class PaintRecorder : public QObject {
 public:
  QRegion painted;

 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) painted += static_cast<QPaintEvent*>(e)->region();
    return false;
  }
};

TEST_F(ViewTest, MovingPictureRepaintsOnlyWhereItWasAndWhereItIs) {
  form.picPlanet.SetPicture(form.imlPlanets.ListImage(6));
  form.picPlanet.SetTop(3000);
  QApplication::processEvents();
  PaintRecorder recorder;
  view.installEventFilter(&recorder);
  const QRect before(static_cast<int>(form.picPlanet.Left() / 15), 200, 32, 32);
  form.picPlanet.SetTop(3150);  // 10 pixels down
  QApplication::processEvents();
  view.removeEventFilter(&recorder);
  const QRect after = before.translated(0, 10);
  EXPECT_FALSE(recorder.painted.isEmpty());
  EXPECT_TRUE(QRegion(before.united(after)).contains(recorder.painted.boundingRect()))
      << recorder.painted.boundingRect().y() << " " << recorder.painted.boundingRect().height();
}

TEST_F(ViewTest, ScoreIsRepaintedWhenItsCaptionChanges) {
  const QImage before = Render();
  form.lblScore.SetCaption("12345");
  QApplication::processEvents();
  const QImage after = Render();
  EXPECT_FALSE(SameArea(before, after, form.lblScore.WindowBounds()));
  EXPECT_TRUE(SameArea(before, after, form.lblLifes.WindowBounds()));
}

}  // namespace
}  // namespace zbx::qt::test
