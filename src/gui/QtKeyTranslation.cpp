#include "gui/QtKeyTranslation.h"

#include <QKeyEvent>
#include <QString>

#include "app/Program.h"
#include "terminal/VirtualKeys.h"

namespace kestrix {

namespace {

constexpr int kFunctionKeys = 24;

// Characters the layout derives without consulting the key's text.
constexpr int kCharBackspace = 8;
constexpr int kCharTab = 9;
constexpr int kCharLineFeed = 10;
constexpr int kCharReturn = 13;
constexpr int kCharEscape = 27;
constexpr int kCharDelete = 127;
// Ctrl with a letter gives its position in the alphabet.
constexpr int kCtrlLetterOffset = 0x40;
// Ctrl with [ \ ] gives the control codes 27 to 29.
constexpr int kCtrlBracketOffset = kVkOemOpenBracket - kCharEscape;

// Qt names a printable key by the symbol it produced, so a shifted symbol
// has to be traced back to the US-layout key that carries it.
int PrintableVirtualKey(int symbol) {
  if (symbol >= Qt::Key_A && symbol <= Qt::Key_Z) return symbol;
  if (symbol >= Qt::Key_0 && symbol <= Qt::Key_9) return symbol;
  switch (symbol) {
    case ' ':
      return kVkSpace;
    case ')':
      return kVk0;
    case '!':
      return kVk0 + 1;
    case '@':
      return kVk0 + 2;
    case '#':
      return kVk0 + 3;
    case '$':
      return kVk0 + 4;
    case '%':
      return kVk0 + 5;
    case '^':
      return kVk0 + 6;
    case '&':
      return kVk0 + 7;
    case '*':
      return kVk0 + 8;
    case '(':
      return kVk0 + 9;
    case ';':
    case ':':
      return kVkOemSemicolon;
    case '=':
    case '+':
      return kVkOemPlus;
    case ',':
    case '<':
      return kVkOemComma;
    case '-':
    case '_':
      return kVkOemMinus;
    case '.':
    case '>':
      return kVkOemPeriod;
    case '/':
    case '?':
      return kVkOemSlash;
    case '`':
    case '~':
      return kVkOemTilde;
    case '[':
    case '{':
      return kVkOemOpenBracket;
    case '\\':
    case '|':
      return kVkOemBackslash;
    case ']':
    case '}':
      return kVkOemCloseBracket;
    case '\'':
    case '"':
      return kVkOemQuote;
    default:
      return 0;
  }
}

int KeypadVirtualKey(int qtKey) {
  if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) {
    return kVkNumpad0 + (qtKey - Qt::Key_0);
  }
  switch (qtKey) {
    case Qt::Key_Asterisk:
      return kVkMultiply;
    case Qt::Key_Plus:
      return kVkAdd;
    case Qt::Key_Minus:
      return kVkSubtract;
    case Qt::Key_Period:
    case Qt::Key_Comma:
      return kVkDecimal;
    case Qt::Key_Slash:
      return kVkDivide;
    default:
      return 0;
  }
}

int NamedVirtualKey(int qtKey) {
  if (qtKey >= Qt::Key_F1 && qtKey < Qt::Key_F1 + kFunctionKeys) {
    return kVkF1 + (qtKey - Qt::Key_F1);
  }
  switch (qtKey) {
    case Qt::Key_Backspace:
      return kVkBackspace;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return kVkTab;
    case Qt::Key_Clear:
      return kVkClear;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return kVkReturn;
    case Qt::Key_Shift:
      return kVkShift;
    case Qt::Key_Control:
      return kVkControl;
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
      return kVkAlt;
    case Qt::Key_Pause:
      return kVkPause;
    case Qt::Key_CapsLock:
      return kVkCapsLock;
    case Qt::Key_Escape:
      return kVkEscape;
    case Qt::Key_PageUp:
      return kVkPageUp;
    case Qt::Key_PageDown:
      return kVkPageDown;
    case Qt::Key_End:
      return kVkEnd;
    case Qt::Key_Home:
      return kVkHome;
    case Qt::Key_Left:
      return kVkLeft;
    case Qt::Key_Up:
      return kVkUp;
    case Qt::Key_Right:
      return kVkRight;
    case Qt::Key_Down:
      return kVkDown;
    case Qt::Key_Print:
      return kVkPrintScreen;
    case Qt::Key_Insert:
      return kVkInsert;
    case Qt::Key_Delete:
      return kVkDelete;
    case Qt::Key_Help:
      return kVkHelp;
    case Qt::Key_Meta:
      return kVkLeftWin;
    case Qt::Key_Menu:
      return kVkApps;
    case Qt::Key_NumLock:
      return kVkNumLock;
    case Qt::Key_ScrollLock:
      return kVkScrollLock;
    default:
      return 0;
  }
}

// Modifiers held while the event happens. Qt is not consistent about
// whether a modifier key's own event includes it, so that is settled here:
// pressed means held, released means no longer held.
Qt::KeyboardModifiers HeldModifiers(const QKeyEvent& event) {
  Qt::KeyboardModifiers held = event.modifiers();
  bool press = event.type() == QEvent::KeyPress;
  switch (event.key()) {
    case Qt::Key_Shift:
      held.setFlag(Qt::ShiftModifier, press);
      break;
    case Qt::Key_Control:
      held.setFlag(Qt::ControlModifier, press);
      break;
    case Qt::Key_Alt:
      held.setFlag(Qt::AltModifier, press);
      break;
    default:
      break;
  }
  return held;
}

// Windows hands keys pressed or released under Alt without Ctrl, the Alt key
// itself included, and F10 to the system menu instead of the window.
bool IsSystemKey(const QKeyEvent& event, int virtualKey) {
  if (virtualKey == kVkF10) return true;  // a system key to Windows
  Qt::KeyboardModifiers held = HeldModifiers(event);
  bool alt = held.testFlag(Qt::AltModifier) || event.key() == Qt::Key_Alt;
  return alt && !held.testFlag(Qt::ControlModifier);
}

int TextCharacter(const QString& text) {
  if (text.isEmpty()) return -1;
  char16_t first = text.at(0).unicode();
  return first <= 0xFF ? first : -1;
}

// The 8-bit character Windows derives from a key press, or -1.
int DerivedCharacter(const QKeyEvent& event, int virtualKey) {
  Qt::KeyboardModifiers held = HeldModifiers(event);
  bool ctrl = held.testFlag(Qt::ControlModifier);
  bool alt = held.testFlag(Qt::AltModifier);
  bool shift = held.testFlag(Qt::ShiftModifier);
  switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return ctrl ? kCharLineFeed : kCharReturn;
    case Qt::Key_Backspace:
      return ctrl ? kCharDelete : kCharBackspace;
    case Qt::Key_Escape:
      return kCharEscape;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return ctrl ? -1 : kCharTab;
    default:
      break;
  }
  // Navigation, function and modifier keys type nothing, whatever text Qt
  // attaches (Delete often carries 0x7F).
  if (event.key() >= Qt::Key_Escape && event.key() <= Qt::Key_unknown) {
    return -1;
  }
  if (ctrl && alt) {
    // Ctrl+Alt is AltGr: only what the layout prints there.
    int c = TextCharacter(event.text());
    return c >= 0x20 && c != kCharDelete ? c : -1;
  }
  if (ctrl) {
    if (virtualKey >= kVkA && virtualKey <= kVkZ) {
      return virtualKey - kCtrlLetterOffset;
    }
    if (!shift && virtualKey >= kVkOemOpenBracket &&
        virtualKey <= kVkOemCloseBracket) {
      return virtualKey - kCtrlBracketOffset;
    }
    if (virtualKey == kVkSpace) return ' ';
    return -1;
  }
  return TextCharacter(event.text());
}

int EventVirtualKey(const QKeyEvent& event) {
#ifdef Q_OS_WIN
  // The real code, whatever the layout.
  if (event.nativeVirtualKey() != 0) {
    return static_cast<int>(event.nativeVirtualKey());
  }
#endif
  return WindowsVirtualKey(event.key(), event.modifiers());
}

}  // namespace

int WindowsVirtualKey(int qtKey, Qt::KeyboardModifiers modifiers) {
  if (modifiers.testFlag(Qt::KeypadModifier)) {
    int keypad = KeypadVirtualKey(qtKey);
    if (keypad != 0) return keypad;
  }
  int named = NamedVirtualKey(qtKey);
  return named != 0 ? named : PrintableVirtualKey(qtKey);
}

bool IsComEnabledShortcut(const QKeyEvent& event) {
  constexpr Qt::KeyboardModifiers kBlocking =
      Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;
  return event.type() == QEvent::KeyPress && !event.isAutoRepeat() &&
         event.key() == Qt::Key_Pause && (event.modifiers() & kBlocking) == 0;
}

KeyStroke TranslateKeyEvent(const QKeyEvent& event) {
  KeyStroke stroke;
  bool press = event.type() == QEvent::KeyPress;
  if (!press && event.type() != QEvent::KeyRelease) return stroke;
  stroke.autoRepeat = event.isAutoRepeat();
  stroke.virtualKey = EventVirtualKey(event);

  constexpr Qt::KeyboardModifiers kBlocking =
      Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;
  if (event.key() == Qt::Key_Pause && (event.modifiers() & kBlocking) == 0) {
    // The shortcut owns a bare Pause: its repeats and release go nowhere.
    stroke.kind = IsComEnabledShortcut(event) ? KeyStroke::Kind::kComEnabled
                                              : KeyStroke::Kind::kNone;
    return stroke;
  }
  if (IsSystemKey(event, stroke.virtualKey)) {
    stroke.kind = KeyStroke::Kind::kSystem;
    return stroke;
  }
  if (!press) {
    stroke.kind =
        stroke.autoRepeat ? KeyStroke::Kind::kNone : KeyStroke::Kind::kUp;
    return stroke;
  }
  stroke.kind = KeyStroke::Kind::kDown;
  stroke.character = DerivedCharacter(event, stroke.virtualKey);
  return stroke;
}

void DeliverKeyStroke(const KeyStroke& stroke, Program& program) {
  if (stroke.kind == KeyStroke::Kind::kDown) {
    program.OnKeyDown(stroke.virtualKey);
    if (stroke.character >= 0) program.OnCharacter(stroke.character);
  } else if (stroke.kind == KeyStroke::Kind::kUp) {
    program.OnKeyUp(stroke.virtualKey);
  }
}

}  // namespace kestrix
