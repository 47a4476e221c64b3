#pragma once

#include <QAction>
#include <map>

class QMenuBar;

namespace kestrix {

// Fills the menu bar with the program's menus: File, Options (with the
// Baudrate submenu) and Help. Texts carry their access letters ("&") and key
// hints behind a tab; no hint is bound to a key (the Pause shortcut is
// handled by the window itself). Returns every item by its menu id; each
// action also carries its id as data.
std::map<int, QAction*> BuildMenuTree(QMenuBar& bar);

}  // namespace kestrix
