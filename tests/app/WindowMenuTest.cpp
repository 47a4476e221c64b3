// The menu bar as the user sees it, and the commands that end the program
// or carry settings through the settings file.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/MenuIds.h"
#include "app/ScreenGadget.h"
#include "app/WindowRig.h"

namespace kestrix::test {
namespace {

// One line per item: "id text" with "[x]"/"[ ]" for check items, "--" for a
// separator and "> text" for a submenu, nested items indented.
void Describe(const QList<QAction*>& actions, const std::string& indent,
              std::vector<std::string>& lines) {
  for (QAction* action : actions) {
    std::string line = indent;
    if (action->isSeparator()) {
      line += "--";
    } else if (action->menu() != nullptr) {
      line += (indent.empty() ? "" : "> ") + action->text().toStdString();
    } else {
      line += std::to_string(action->data().toInt()) + " ";
      if (action->isCheckable()) line += action->isChecked() ? "[x] " : "[ ] ";
      line += action->text().toStdString();
    }
    lines.push_back(line);
    if (action->menu() != nullptr) {
      Describe(action->menu()->actions(), indent + "  ", lines);
    }
  }
}

class WindowMenu : public WindowTest {};

TEST_F(WindowMenu, HoldsEveryCommandWithItsIdTextAndCheckMark) {
  WindowRig rig({"AutoDis=1", "VKeys=0", "TxtCurs=1", "MsMoveOff=1", "CRmode=1",
                 "BaudRate=0"});
  rig.Start();
  std::vector<std::string> lines;
  Describe(rig.window->menuBar()->actions(), "", lines);
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
  EXPECT_EQ(lines, expected);
  // The hints are text only: no item is bound to a key.
  for (int id = 1; id <= 27; ++id) {
    if (QAction* action = rig.window->Action(id)) {
      EXPECT_TRUE(action->shortcut().isEmpty()) << id;
    }
  }
}

TEST_F(WindowMenu, CheckItemsToggleOnceAndBaudItemsFollowTheMode) {
  WindowRig rig;
  rig.Start();
  rig.Menu(kMenuVirtualKeycodes);
  EXPECT_TRUE(rig.window->IsChecked(kMenuVirtualKeycodes));
  EXPECT_EQ(rig.program->settings.VKeys, 1);
  rig.Menu(kMenuBaudFirst + 4);  // 9600
  EXPECT_TRUE(rig.window->IsChecked(kMenuBaudFirst + 4));
  // Device display mode allows 115200 only.
  rig.Menu(kMenuNormalTerminal);
  EXPECT_FALSE(rig.window->IsChecked(kMenuNormalTerminal));
  EXPECT_TRUE(rig.window->IsChecked(kMenuBaudFirst));
  EXPECT_FALSE(rig.window->IsChecked(kMenuBaudFirst + 4));
  EXPECT_FALSE(rig.window->Action(kMenuBaudFirst + 1)->isEnabled());
  EXPECT_TRUE(rig.window->Action(kMenuBaudFirst)->isEnabled());
}

TEST_F(WindowMenu, SavedSettingsComeBackWithLoadSettings) {
  WindowRig rig;
  rig.Start();
  rig.Menu(kMenuVirtualKeycodes);  // on
  rig.Menu(kMenuTextCursor);       // off
  rig.Menu(kMenuAutoMode);         // off
  rig.Menu(kMenuSaveSettings);
  const std::filesystem::path saved = rig.pty.folder() / "Kestrix2.ini";
  std::stringstream text;
  text << std::ifstream(saved, std::ios::binary).rdbuf();
  for (const char* line : {"VKeys=1\r\n", "TxtCurs=0\r\n", "AutoDis=0\r\n"}) {
    EXPECT_NE(text.str().find(line), std::string::npos) << text.str();
  }
  rig.Menu(kMenuVirtualKeycodes);  // back off
  rig.Menu(kMenuTextCursor);       // back on
  rig.host.openAnswers.push_back({saved.string(), 0});
  rig.Menu(kMenuLoadSettings);
  EXPECT_EQ(rig.program->settings.VKeys, 1);
  EXPECT_TRUE(rig.window->IsChecked(kMenuVirtualKeycodes));
  EXPECT_EQ(rig.program->settings.TxtCurs, 0);
  EXPECT_FALSE(rig.window->IsChecked(kMenuTextCursor));
  EXPECT_FALSE(rig.window->IsChecked(kMenuAutoMode));

  // A loaded grid resizes the window: 40 x 8 x 1.5 by 10 x 17 x 1.5 + 21,
  // halves to even.
  std::ofstream(rig.pty.folder() / "small.ini", std::ios::binary)
      << "[Config]\r\nCols=40\r\nRows=10\r\nWindowScale=1.5\r\n";
  rig.host.openAnswers.push_back(
      {(rig.pty.folder() / "small.ini").string(), 0});
  rig.Menu(kMenuLoadSettings);
  rig.Spin(10);
  EXPECT_EQ(rig.window->InnerArea()->size(), QSize(480, 276));
  EXPECT_EQ(rig.window->minimumSize(), rig.window->maximumSize());
  // The re-created screen (no strip this time) is shown scaled.
  EXPECT_EQ(rig.window->Gadget()->size(), QSize(480, 255));
}

TEST_F(WindowMenu, QuitAndTheCloseBoxCloseThePortAndTheWindow) {
  for (bool closeBox : {false, true}) {
    SCOPED_TRACE(closeBox ? "close box" : "Quit");
    WindowRig rig;
    rig.Start();
    ASSERT_TRUE(rig.port.IsOpen());
    if (closeBox) {
      EXPECT_TRUE(rig.window->close());
    } else {
      rig.Menu(kMenuQuit);
    }
    EXPECT_TRUE(rig.finished);
    EXPECT_TRUE(rig.program->QuitRequested());
    EXPECT_FALSE(rig.port.IsOpen());
    EXPECT_FALSE(rig.window->isVisible());
  }
}

TEST_F(WindowMenu, ACloseDuringACommandWaitsForTheCommandToEnd) {
  WindowRig rig;
  rig.Start();
  bool closedMeanwhile = true;
  // The Com-Port requester is open when the close box is clicked.
  rig.host.whileOpen = [&] {
    closedMeanwhile = rig.window->close();
    rig.host.whileOpen = nullptr;
  };
  rig.Menu(kMenuComPort);
  EXPECT_FALSE(closedMeanwhile);
  // The turn after the command ends the program.
  EXPECT_TRUE(rig.SpinUntil([&] { return rig.finished; }));
  EXPECT_FALSE(rig.port.IsOpen());
  EXPECT_FALSE(rig.window->isVisible());
}

}  // namespace
}  // namespace kestrix::test
