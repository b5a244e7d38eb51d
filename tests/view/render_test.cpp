// The window as painted: background, labels, label-buttons, panels and pictures, the
// stacking order as it shows on screen, and a frame of a running game.
#include <QFontInfo>

#include "view_fixture.h"
#include "window/qt/fonts.h"

namespace zbx::qt::test {
namespace {

const QColor kNavy(0x00, 0x00, 0x80), kBlack(0, 0, 0);

// Whether any pixel of the area satisfies pred.
template <class Pred>
bool Any(const QImage& image, const QRect& px, Pred pred) {
  for (int y = px.top(); y <= px.bottom(); ++y)
    for (int x = px.left(); x <= px.right(); ++x)
      if (pred(image.pixelColor(x, y))) return true;
  return false;
}

TEST_F(ViewTest, WindowPaintsTheBackgroundLabelButtonsAndPanelsAsTheModelHasThem) {
  QImage image = Render();
  ASSERT_EQ(image.size(), QSize(417, 527));
  EXPECT_EQ(QFontInfo(LabelFont(9)).pixelSize(), 12);  // whatever the font resolution
  EXPECT_EQ(QFontInfo(LabelFont(20.25)).pixelSize(), 27);
  EXPECT_TRUE(Native(form.optMouse)->fontInfo().family().contains("Comic"));  // option buttons: the labels' face
  EXPECT_TRUE(Any(image, Px(form.lblLifes.WindowBounds()),
                  [](const QColor& c) { return c.green() > 200 && c.red() < 90 && c.blue() < 90; }));
  const RectTwips start = form.lblStart.WindowBounds();
  EXPECT_EQ(At(image, start.left + 30, start.top + 30), kNavy);
  EXPECT_EQ(At(image, start.left - 20, start.top + 30), kBlack);
  // A disabled label-button greys its caption but keeps its colour.
  const auto grey = [](const QColor& c) { return c == QColor(0x80, 0x80, 0x80); };
  EXPECT_FALSE(Any(image, Px(start), grey));
  form.lblStart.SetEnabled(false);
  image = Render();
  EXPECT_TRUE(Any(image, Px(start), grey));
  EXPECT_EQ(At(image, start.left + 30, start.top + 30), kNavy);
  // A panel shows its white caption and its border.
  form.frameNewGame.SetVisible(true);
  image = Render();
  const RectTwips panel = form.frameNewGame.WindowBounds();
  EXPECT_TRUE(Any(image, Px({panel.left + 120, panel.top, 900, 200}), [](const QColor& c) { return c == Qt::white; }));
  EXPECT_NE(At(image, panel.left, panel.top + 1000), kBlack);
}

// Pictures paint their art where the model has them, behind the top bar and the opaque basket.
TEST_F(ViewTest, PicturesShowTheirArtBehindTheTopBarAndTheBasket) {
  const QImage empty = Render();
  const auto same = [&empty, this](const RectTwips& r) { return Render().copy(Px(r)) == empty.copy(Px(r)); };
  form.picPlanet.SetPicture(form.imlPlanets.ListImage(13));  // fills its 32 x 32 frame
  form.picPlanet.SetTop(840);
  EXPECT_TRUE(same({form.picPlanet.Left(), 840, 480, 480}));
  form.picPlanet.SetTop(1200);  // 1200..1680: only what lies below the bar's edge at 1455 shows
  EXPECT_FALSE(same({form.picPlanet.Left(), 1470, 480, 195}));
  form.picPlanet.Move(form.picBasket.Left(), form.picBasket.Top());
  EXPECT_TRUE(same(form.picBasket.WindowBounds()));
  form.picPlanet.Move(3000, 3500);
  const QImage image = Render();
  EXPECT_EQ(At(image, 3000 + 240, 3500 + 240), QImage(ZBX_ASSETS_DIR "/planet13.png").pixelColor(16, 16));
  const QColor rim = At(image, form.picBasket.Left() + 32 * 15, form.picBasket.Top() + 3 * 15);
  EXPECT_GT(rim.red(), 150);
  EXPECT_LT(rim.green(), 100);
}

}  // namespace
}  // namespace zbx::qt::test
