// The About panel: its picture, its showing during the program's wait and
// its removal by the next screen image.
#include <QImage>
#include <QPainter>
#include <QWidget>

#include "app/AboutPanel.h"
#include "app/MenuIds.h"
#include "app/WindowRig.h"

namespace kestrix::test {
namespace {

constexpr QRgb kYellow = qRgb(255, 255, 0);

bool HasColourIn(const QImage& image, const QRect& area, QRgb colour) {
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if (image.pixel(x, y) == colour) return true;
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
  // Rows 0 and 1 are left alone.
  for (int x = 0; x < 320; ++x) {
    ASSERT_EQ(image.pixel(x, 0), grey) << x;
    ASSERT_EQ(image.pixel(x, 1), grey) << x;
  }
  // Red and blue equal the row on the left; away from the text every
  // pixel keeps exactly the ramp or black.
  for (int y = 2; y < 240; ++y) {
    EXPECT_EQ(image.pixel(0, y), qRgb(y, 0, y)) << y;
    EXPECT_EQ(image.pixel(150, y), qRgb(y, 0, y)) << y;
    EXPECT_EQ(image.pixel(151, y), qRgb(0, 0, 0)) << y;
    EXPECT_EQ(image.pixel(165, y), qRgb(0, 0, 0)) << y;
    // Below the last text line the black part reaches column 319.
    if (y >= 180) {
      EXPECT_EQ(image.pixel(319, y), qRgb(0, 0, 0)) << y;
    }
  }
  EXPECT_EQ(image.pixel(320, 100), grey);
  EXPECT_EQ(image.pixel(10, 245), grey);
  // The name on the ramp, the description lines on black.
  EXPECT_TRUE(HasColourIn(image, QRect(30, 25, 100, 20), kYellow));
  EXPECT_TRUE(HasColourIn(image, QRect(170, 25, 140, 20), kYellow));
  EXPECT_TRUE(HasColourIn(image, QRect(170, 100, 140, 20), kYellow));
  EXPECT_TRUE(HasColourIn(image, QRect(170, 150, 140, 20), kYellow));
  EXPECT_FALSE(HasColourIn(image, QRect(0, 2, 28, 238), kYellow));
  EXPECT_FALSE(HasColourIn(image, QRect(151, 2, 18, 238), kYellow));
}

TEST_F(WindowAbout, ShowsDuringTheWaitAndGoesWithTheNextScreen) {
  WindowRig rig;
  rig.Start();
  ASSERT_TRUE(rig.port.IsOpen());
  bool shownDuringWait = false;
  QRgb rampDuringWait = 0;
  rig.clock.onSleep = [&](int ms) {
    if (ms != 2000) return;
    shownDuringWait = rig.window->AboutShown();
    rampDuringWait = rig.window->InnerArea()->grab().toImage().pixel(20, 100);
  };
  rig.Menu(kMenuAbout);
  EXPECT_TRUE(shownDuringWait);
  EXPECT_EQ(rampDuringWait, qRgb(100, 0, 100));
  // Nothing erases it but the next picture of the screen.
  rig.Spin(100);
  EXPECT_TRUE(rig.window->AboutShown());
  rig.pty.Send("x");
  ASSERT_TRUE(rig.SpinUntil([&] { return !rig.window->AboutShown(); }));
  EXPECT_EQ(rig.window->InnerArea()->grab().toImage().pixel(20, 100),
            qRgb(0, 0, 0));
}

}  // namespace
}  // namespace kestrix::test
