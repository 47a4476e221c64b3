// The About panel's picture.
#include <QImage>
#include <QPainter>

#include "app/WindowRig.h"
#include "gui/AboutPanel.h"

namespace kestrix::test {
namespace {

bool HasYellowIn(const QImage& image, const QRect& area) {
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if (image.pixel(x, y) == qRgb(255, 255, 0)) return true;
    }
  }
  return false;
}

class WindowAbout : public WindowTest {};

TEST_F(WindowAbout, PanelIsARampBesideBlackWithYellowText) {
  QImage image(400, 260, QImage::Format_RGB32);
  const QRgb grey = qRgb(90, 90, 90);
  image.fill(grey);
  {
    QPainter painter(&image);
    PaintAboutPanel(painter);
  }
  // Rows 0 and 1 are left alone; away from the text, the ramp's red and
  // blue equal the row, and beside it is black.
  EXPECT_EQ(image.pixel(0, 1), grey);
  for (int y = 2; y < 240; ++y) {
    EXPECT_EQ(image.pixel(0, y), qRgb(y, 0, y)) << y;
    EXPECT_EQ(image.pixel(150, y), qRgb(y, 0, y)) << y;
    EXPECT_EQ(image.pixel(151, y), qRgb(0, 0, 0)) << y;
  }
  EXPECT_EQ(image.pixel(319, 239), qRgb(0, 0, 0));
  EXPECT_EQ(image.pixel(320, 100), grey);  // 320 x 240 at most
  EXPECT_EQ(image.pixel(10, 240), grey);
  // The name on the ramp, the description lines on black.
  EXPECT_TRUE(HasYellowIn(image, QRect(30, 25, 100, 20)));
  EXPECT_TRUE(HasYellowIn(image, QRect(170, 150, 140, 20)));
  EXPECT_FALSE(HasYellowIn(image, QRect(0, 2, 28, 238)));
}

}  // namespace
}  // namespace kestrix::test
