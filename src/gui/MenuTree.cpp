#include "gui/MenuTree.h"

#include <QMenu>
#include <QMenuBar>

#include "app/MenuIds.h"

namespace kestrix {

namespace {

enum class Kind { kCommand, kCheck, kSeparator, kBaudSubmenu };

struct Item {
  Kind kind;
  int id;
  const char* text;
};

constexpr Item kFileMenu[] = {
    {Kind::kCommand, kMenuScreenshot, "S&creenshot"},
    {Kind::kCommand, kMenuCopyText, "&Copy Text"},
    {Kind::kCommand, kMenuSaveText, "&Save Text"},
    {Kind::kSeparator, 0, nullptr},
    {Kind::kCommand, kMenuSaveSettings, "&Save Settings"},
    {Kind::kCommand, kMenuLoadSettings, "&Load Settings"},
    {Kind::kSeparator, 0, nullptr},
    {Kind::kCommand, kMenuUploadFile, "&Upload File"},
    {Kind::kSeparator, 0, nullptr},
    {Kind::kCommand, kMenuQuit, "&Quit"},
};

constexpr Item kOptionsMenu[] = {
    {Kind::kCommand, kMenuComPort, "&Com-Port"},
    {Kind::kSeparator, 0, nullptr},
    {Kind::kCheck, kMenuComEnabled, "Com &Enabled\tPause"},
    {Kind::kCheck, kMenuAutoMode, "&Auto Mode\tMinimize"},
    {Kind::kSeparator, 0, nullptr},
    {Kind::kCheck, kMenuNormalTerminal, "&Normal-Terminal Mode"},
    {Kind::kBaudSubmenu, 0, "&Baudrate"},
    {Kind::kCheck, kMenuTextCursor, "Text &Cursor On"},
    {Kind::kCheck, kMenuCrAutoLf, "CR with Auto-LF"},
    {Kind::kSeparator, 0, nullptr},
    {Kind::kCheck, kMenuVirtualKeycodes, "&Virtual Keycodes"},
    {Kind::kSeparator, 0, nullptr},
    {Kind::kCommand, kMenuResetPropeller, "&Reset Propeller"},
};

constexpr Item kHelpMenu[] = {
    {Kind::kCommand, kMenuClear, "&Clear"},
    {Kind::kCommand, kMenuAbout, "&About"},
    {Kind::kCommand, kMenuWebsite, "&Website"},
};

// In the order of the baud table: the id minus the first baud id is the
// table index.
constexpr const char* kBaudTexts[] = {"115200", "57600", "38400", "19200",
                                      "9600",   "4800",  "2400",  "1200"};
static_assert(std::size(kBaudTexts) == kMenuBaudLast - kMenuBaudFirst + 1);

QAction* AddItem(QMenu& menu, int id, const char* text, bool checkable,
                 std::map<int, QAction*>& actions) {
  QAction* action = menu.addAction(QString::fromLatin1(text));
  action->setCheckable(checkable);
  action->setData(id);
  actions[id] = action;
  return action;
}

template <std::size_t N>
void FillMenu(QMenu& menu, const Item (&items)[N],
              std::map<int, QAction*>& actions) {
  for (const Item& item : items) {
    switch (item.kind) {
      case Kind::kSeparator:
        menu.addSeparator();
        break;
      case Kind::kCommand:
      case Kind::kCheck:
        AddItem(menu, item.id, item.text, item.kind == Kind::kCheck, actions);
        break;
      case Kind::kBaudSubmenu: {
        QMenu* baud = menu.addMenu(QString::fromLatin1(item.text));
        for (int i = 0; i < static_cast<int>(std::size(kBaudTexts)); ++i) {
          AddItem(*baud, kMenuBaudFirst + i, kBaudTexts[i], true, actions);
        }
        break;
      }
    }
  }
}

}  // namespace

std::map<int, QAction*> BuildMenuTree(QMenuBar& bar) {
  std::map<int, QAction*> actions;
  FillMenu(*bar.addMenu(QStringLiteral("&File")), kFileMenu, actions);
  FillMenu(*bar.addMenu(QStringLiteral("&Options")), kOptionsMenu, actions);
  FillMenu(*bar.addMenu(QStringLiteral("&Help")), kHelpMenu, actions);
  return actions;
}

}  // namespace kestrix
