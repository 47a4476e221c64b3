// The menu bar as the user sees it, and closing the window.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <filesystem>
#include <string>
#include <vector>

#include "app/MenuIds.h"
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
  WindowRig rig({"AutoDis=1", "CRmode=1", "BaudRate=0"});
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
    QAction* action = rig.window->Action(id);
    EXPECT_TRUE(action == nullptr || action->shortcut().isEmpty())
        << action->text().toStdString();
  }
}

TEST_F(WindowMenu, ACloseDuringACommandWaitsForTheCommandToEnd) {
  WindowRig rig;
  rig.Start();
  bool closedMeanwhile = true;
  // Closed while the Com-Port requester is open: the command finishes first.
  rig.host.whileOpen = [&] {
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

}  // namespace
}  // namespace kestrix::test
