#include <QAction>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <chrono>
#include <cstdint>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "app/MenuIds.h"
#include "app/WindowRig.h"
#include "gui/RasterImage.h"
#include "gui/ScreenGadget.h"
#include "sim/PtyPropeller.h"

namespace kestrix::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

class WindowLoop : public WindowTest {};

TEST_F(WindowLoop, OpensFixedAndShowsDeviceTextAndAboutWithoutTheTimer) {
  WindowRig rig;
  // No timer: only the port's notice of arriving bytes can start a turn.
  rig.Start(/*withTimer=*/false);
  EXPECT_EQ(rig.window->windowTitle(), "Kestrix for P2 Monitor");
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
  EXPECT_EQ(rig.window->Gadget()->grab().toImage(),
            RasterToQImage(rig.program->screen().image));
  // About shows during the program's wait and stays until the next image.
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
  rig.Tap(Qt::Key_A, Qt::NoModifier, "a");  // goes nowhere
  rig.Tap(Qt::Key_Pause);
  EXPECT_TRUE(rig.port.IsOpen());
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
  rig.Mouse(QEvent::MouseMove, {20, 5}, Qt::NoButton, Qt::NoButton,
            rig.window->menuBar());
  EXPECT_EQ(rig.DeviceReceived(), Bytes());
  rig.Mouse(QEvent::MouseMove, {-30, 500}, Qt::NoButton, Qt::NoButton);
  EXPECT_EQ(rig.DeviceReceived(), Bytes({5, 0x32, 0xFF, 0xFF}));
}

// One line per item: "id text" with "[x]"/"[ ]" for check items and any key
// bound to it, "--" for a separator, "> text" for a submenu, nested items
// indented.
std::vector<std::string> Describe(const QList<QAction*>& actions,
                                  const std::string& indent = "") {
  std::vector<std::string> lines;
  for (QAction* a : actions) {
    const char* mark = !a->isCheckable() ? ""
                       : a->isChecked()  ? "[x] "
                                         : "[ ] ";
    const std::string text =
        mark + (a->text() + a->shortcut().toString()).toStdString();
    if (a->isSeparator()) {
      lines.push_back(indent + "--");
    } else if (a->menu() == nullptr) {
      lines.push_back(indent + std::to_string(a->data().toInt()) + " " + text);
    } else {
      lines.push_back(indent + (indent.empty() ? "" : "> ") + text);
      const auto nested = Describe(a->menu()->actions(), indent + "  ");
      lines.insert(lines.end(), nested.begin(), nested.end());
    }
  }
  return lines;
}

TEST_F(WindowLoop, MenuHoldsEveryCommandWithItsIdTextAndCheckMark) {
  WindowRig rig({"AutoDis=1", "CRmode=1", "BaudRate=0"});
  rig.Start();
  // clang-format off
  const std::vector<std::string> expected = {
      "&File", "  1 S&creenshot", "  14 &Copy Text", "  18 &Save Text", "  --",
      "  2 &Save Settings", "  17 &Load Settings", "  --", "  9 &Upload File",
      "  --", "  3 &Quit",
      "&Options", "  4 &Com-Port", "  --", "  5 [x] Com &Enabled\tPause",
      "  10 [x] &Auto Mode\tMinimize", "  --", "  13 [x] &Normal-Terminal Mode",
      "  > &Baudrate", "    19 [ ] 115200", "    20 [ ] 57600",
      "    21 [ ] 38400", "    22 [ ] 19200", "    23 [ ] 9600",
      "    24 [ ] 4800", "    25 [ ] 2400", "    26 [ ] 1200",
      "  16 [x] Text &Cursor On", "  27 [x] CR with Auto-LF", "  --",
      "  15 [ ] &Virtual Keycodes", "  --", "  11 &Reset Propeller",
      "&Help", "  7 &Clear", "  8 &About", "  12 &Website"};
  // clang-format on
  // The hints are text only: no item is bound to a key.
  EXPECT_EQ(Describe(rig.window->menuBar()->actions()), expected);
}

TEST_F(WindowLoop, ACloseDuringACommandWaitsForTheCommandToEnd) {
  WindowRig rig;
  rig.Start();
  bool closedMeanwhile = true;
  rig.host.whileOpen = [&] {  // the Com-Port requester is open
    closedMeanwhile = rig.window->close();
    rig.host.whileOpen = nullptr;
  };
  rig.Menu(kMenuComPort);
  EXPECT_FALSE(closedMeanwhile);
  // The turn after the command ends the program.
  EXPECT_TRUE(rig.SpinUntil([&] { return rig.finished; }));
  EXPECT_TRUE(rig.program->QuitRequested());
  EXPECT_FALSE(rig.port.IsOpen());
  EXPECT_FALSE(rig.window->isVisible());
}

TEST_F(WindowLoop, EepromFromTheMenuReachesTheChipWhileTheWindowPaints) {
  WindowRig rig({"ComNr=7"});
  sim::PtyPropeller chip;
  ASSERT_TRUE(chip.Start(rig.folder.string(), 7));
  rig.Start();
  // Whether the last paint showed the screen as it was, first during the
  // banner pause, then first while the EEPROM is verified.
  std::map<std::string, bool> painted;
  rig.clock.onSleep = [&](int ms) {
    const std::string& text = rig.program->screen().ScreenText;
    const bool current = rig.window->Gadget()->image() ==
                         RasterToQImage(rig.program->screen().image);
    if (ms == 2000) {  // the banner pause alone costs no time
      painted.emplace("banner", current);
      return;
    }
    if (text.find("Verify ..") < text.size())
      painted.emplace("verify", current);
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  };
  rig.host.whileOpen = [] { QCoreApplication::processEvents(); };
  const auto eeprom = rig.temp.Write("prog.eeprom", std::string(64, '\x5a'));
  rig.host.openAnswers.push_back({eeprom.string(), 1});
  rig.Menu(kMenuUploadFile);
  rig.clock.onSleep = nullptr;
  EXPECT_TRUE(chip.WaitBetweenSessions(3000));
  EXPECT_EQ(chip.LastRecord().command, 3);  // the chip's EEPROM command
  EXPECT_EQ(rig.program->screen().ScreenText,
            "Start Upload\r\nPropeller Version = 1\r\nWrite in EEPROM "
            "Lenght=32768\r\nVerify ..\r\n..OK -> RUN\r\n");
  EXPECT_EQ(painted,
            (std::map<std::string, bool>{{"banner", true}, {"verify", true}}));
}

}  // namespace
}  // namespace kestrix::test
