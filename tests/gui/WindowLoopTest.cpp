// The real window on a pseudo-terminal: device text shows on the screen,
// keys and the mouse reach the device as the terminal's bytes.
#include <QImage>
#include <QMenuBar>
#include <QMouseEvent>
#include <cstdint>
#include <vector>

#include "app/MenuIds.h"
#include "app/WindowRig.h"
#include "gui/RasterImage.h"
#include "gui/ScreenGadget.h"

namespace kestrix::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

class WindowLoop : public WindowTest {};

TEST_F(WindowLoop, OpensFixedAndShowsDeviceTextAndAboutWithoutTheTimer) {
  WindowRig rig;
  // No timer: only the port's notice of arriving bytes can start a turn.
  rig.Start(/*withTimer=*/false);
  EXPECT_EQ(rig.window->windowTitle(), "Kestrix for P2 Monitor");
  ASSERT_TRUE(rig.port.IsOpen());
  // 80 x 25 cells of 8 x 17 and the strip of 21 below, under the menu.
  EXPECT_EQ(rig.window->InnerArea()->geometry(),
            QRect(0, rig.window->menuBar()->height(), 640, 446));
  // Fixed size: minimise but no maximise.
  EXPECT_EQ(rig.window->minimumSize(), rig.window->maximumSize());
  EXPECT_TRUE(rig.window->windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(rig.window->windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_EQ(rig.window->pos(), QPoint(100, 200));

  rig.Send("Hi\r\nthere");
  EXPECT_TRUE(rig.SpinUntil(
      [&] { return rig.program->screen().ScreenText == "Hi\r\nthere"; }));
  rig.Spin(20);
  // What is shown is the screen image, pixel for pixel.
  EXPECT_EQ(rig.window->Gadget()->grab().toImage(),
            RasterToQImage(rig.program->screen().image));

  // About shows during the program's wait and stays until the next screen
  // image.
  auto ramp = [&] {
    return rig.window->InnerArea()->grab().toImage().pixel(20, 100);
  };
  QRgb rampDuringWait = 0;
  rig.clock.onSleep = [&](int ms) {
    if (ms == 2000) rampDuringWait = ramp();
  };
  rig.Menu(kMenuAbout);
  EXPECT_EQ(rampDuringWait, qRgb(100, 0, 100));
  rig.Spin(100);
  EXPECT_EQ(ramp(), qRgb(100, 0, 100));
  rig.Send("x");
  EXPECT_TRUE(rig.SpinUntil([&] { return ramp() == qRgb(0, 0, 0); }));
}

TEST_F(WindowLoop, KeysAndTheMouseReachTheDeviceAsTerminalBytes) {
  WindowRig rig;
  rig.Start();
  ASSERT_TRUE(rig.port.IsOpen());
  rig.DeviceReceived();
  rig.Tap(Qt::Key_A, Qt::NoModifier, "a");
  rig.Tap(Qt::Key_Left);
  // Tab is a key, not a move of the focus.
  rig.window->setFocus();
  QWidget* focused = QApplication::focusWidget();
  rig.Tap(Qt::Key_Tab, Qt::NoModifier, "\t");
  EXPECT_EQ(QApplication::focusWidget(), focused);
  // Shift+Pause is a key; Pause alone is the Com Enabled shortcut.
  rig.Tap(Qt::Key_Pause, Qt::ShiftModifier);
  EXPECT_EQ(rig.DeviceReceived(), Bytes({0x61, 0xC0, 0x09, 13}));
  rig.Tap(Qt::Key_Pause);
  EXPECT_FALSE(rig.port.IsOpen());
  EXPECT_FALSE(rig.window->IsChecked(kMenuComEnabled));
  rig.Tap(Qt::Key_A, Qt::NoModifier, "a");
  rig.Tap(Qt::Key_Pause);
  EXPECT_TRUE(rig.port.IsOpen());
  // The key typed while the port was released went nowhere.
  EXPECT_EQ(rig.DeviceReceived(), Bytes());

  // Normal-terminal mode: moves are not reported, buttons are. The second
  // press of a double-click sends nothing; its release reports.
  const QPoint at(100, 37);
  rig.Mouse(QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton);
  rig.Mouse(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
  rig.Mouse(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
  rig.Mouse(QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
  rig.Mouse(QEvent::MouseButtonPress, {601, 2}, Qt::RightButton,
            Qt::RightButton);
  EXPECT_EQ(rig.DeviceReceived(),
            Bytes({5, 0x11, 50, 18, 5, 0x10, 50, 18, 5, 0x22, 44, 1}));
  rig.Menu(kMenuNormalTerminal);  // off: moves report, outside is -1
  // A move over the menu bar is no move over the screen.
  QMenuBar* bar = rig.window->menuBar();
  const QPointF overBar(20, 5);
  QMouseEvent barMove(QEvent::MouseMove, overBar, overBar,
                      bar->mapToGlobal(overBar), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
  QCoreApplication::sendEvent(bar, &barMove);
  EXPECT_EQ(rig.DeviceReceived(), Bytes());
  rig.Mouse(QEvent::MouseMove, {-30, 500}, Qt::NoButton, Qt::NoButton);
  EXPECT_EQ(rig.DeviceReceived(), Bytes({5, 0x32, 0xFF, 0xFF}));
}

}  // namespace
}  // namespace kestrix::test
