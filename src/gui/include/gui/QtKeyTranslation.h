#pragma once

#include <Qt>

class QKeyEvent;

namespace kestrix {

class Program;

// One Qt key event, restated as the Windows-style events the key encoder
// expects.
struct KeyStroke {
  enum class Kind {
    kNone,        // nothing to encode: auto-repeat releases, Pause repeats
    kSystem,      // a system key (Alt without Ctrl, F10): never encoded
    kComEnabled,  // the Pause shortcut: run the Com Enabled command
    kDown,        // key-down, then the character if there is one
    kUp,          // key-up
  };
  Kind kind = Kind::kNone;
  int virtualKey = 0;  // Windows virtual key code, 0 when the key has none
  int character = -1;  // 8-bit character of a key-down, -1 for none
  bool autoRepeat = false;
};

// The Windows virtual key code of a Qt key on a US layout; 0 when there is
// none. The keypad modifier selects the number pad codes.
int WindowsVirtualKey(int qtKey, Qt::KeyboardModifiers modifiers);

// True for the first press of Pause with none of Shift, Ctrl and Alt: the
// Com Enabled shortcut. Its auto-repeats and its release are swallowed by
// TranslateKeyEvent, so holding Pause toggles the port only once.
bool IsComEnabledShortcut(const QKeyEvent& event);

// Translates a KeyPress or KeyRelease event. Auto-repeated presses are
// key-downs each time; auto-repeated releases are kNone.
KeyStroke TranslateKeyEvent(const QKeyEvent& event);

// Feeds a translated stroke to the program's key entry points: the key-down
// before its character, or the key-up. Other kinds do nothing.
void DeliverKeyStroke(const KeyStroke& stroke, Program& program);

}  // namespace kestrix
