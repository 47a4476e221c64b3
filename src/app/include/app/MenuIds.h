#pragma once

namespace kestrix {

// Item ids of the main window's menu; the menu event carries them.
enum MenuId : int {
  kMenuScreenshot = 1,
  kMenuSaveSettings = 2,
  kMenuQuit = 3,
  kMenuComPort = 4,
  kMenuComEnabled = 5,
  kMenuClear = 7,
  kMenuAbout = 8,
  kMenuUploadFile = 9,
  kMenuAutoMode = 10,
  kMenuResetPropeller = 11,
  kMenuWebsite = 12,
  kMenuNormalTerminal = 13,
  kMenuCopyText = 14,
  kMenuVirtualKeycodes = 15,
  kMenuTextCursor = 16,
  kMenuLoadSettings = 17,
  kMenuSaveText = 18,
  kMenuBaudFirst = 19,  // 115200; the id minus 19 is the baud-table index
  kMenuBaudLast = 26,   // 1200
  kMenuCrAutoLf = 27,
};

}  // namespace kestrix
