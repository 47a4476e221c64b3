#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QString>
#include <cstdint>
#include <utility>
#include <vector>

#include "app/KeyEncoder.h"
#include "app/QtKeyTranslation.h"
#include "app/WindowRig.h"
#include "support/FakePort.h"

namespace kestrix {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Kind = KeyStroke::Kind;

constexpr Qt::KeyboardModifiers kNone = Qt::NoModifier;
constexpr Qt::KeyboardModifiers kShift = Qt::ShiftModifier;
constexpr Qt::KeyboardModifiers kCtrl = Qt::ControlModifier;
constexpr Qt::KeyboardModifiers kAlt = Qt::AltModifier;
constexpr Qt::KeyboardModifiers kKeypad = Qt::KeypadModifier;

// Key events need Qt's keyboard device, which only a running application
// cleans up again.
class QtKeyTranslation : public test::WindowTest {};
class QtKeysToBytes : public test::WindowTest {};

KeyStroke Press(int key, Qt::KeyboardModifiers mods = kNone,
                const QString& text = {}, bool autoRepeat = false) {
  QKeyEvent event(QEvent::KeyPress, key, mods, text, autoRepeat);
  return TranslateKeyEvent(event);
}

KeyStroke Release(int key, Qt::KeyboardModifiers mods = kNone,
                  const QString& text = {}, bool autoRepeat = false) {
  QKeyEvent event(QEvent::KeyRelease, key, mods, text, autoRepeat);
  return TranslateKeyEvent(event);
}

TEST_F(QtKeyTranslation, NamesKeysWithWindowsVirtualKeys) {
  struct Case {
    int qtKey;
    Qt::KeyboardModifiers mods;
    int vk;
  };
  // clang-format off
  const Case cases[] = {
      {Qt::Key_A, kNone, 0x41}, {Qt::Key_Z, kNone, 0x5A},
      {Qt::Key_0, kNone, 0x30}, {Qt::Key_9, kNone, 0x39},
      {Qt::Key_F1, kNone, 0x70}, {Qt::Key_F12, kNone, 0x7B},
      {Qt::Key_F24, kNone, 0x87}, {Qt::Key_Left, kNone, 0x25},
      {Qt::Key_Up, kNone, 0x26}, {Qt::Key_Right, kNone, 0x27},
      {Qt::Key_Down, kNone, 0x28}, {Qt::Key_Home, kNone, 0x24},
      {Qt::Key_End, kNone, 0x23}, {Qt::Key_PageUp, kNone, 0x21},
      {Qt::Key_PageDown, kNone, 0x22}, {Qt::Key_Insert, kNone, 0x2D},
      {Qt::Key_Delete, kNone, 0x2E}, {Qt::Key_Tab, kNone, 0x09},
      {Qt::Key_Backtab, kNone, 0x09}, {Qt::Key_Return, kNone, 0x0D},
      {Qt::Key_Enter, kNone, 0x0D}, {Qt::Key_Backspace, kNone, 0x08},
      {Qt::Key_Escape, kNone, 0x1B}, {Qt::Key_Space, kNone, 0x20},
      {Qt::Key_Shift, kNone, 0x10}, {Qt::Key_Control, kNone, 0x11},
      {Qt::Key_Alt, kNone, 0x12}, {Qt::Key_Pause, kNone, 0x13},
      {Qt::Key_CapsLock, kNone, 0x14}, {Qt::Key_NumLock, kNone, 0x90},
      {Qt::Key_ScrollLock, kNone, 0x91}, {Qt::Key_unknown, kNone, 0},
      {Qt::Key_Adiaeresis, kNone, 0},
      // The number pad has codes of its own; with Num Lock off it sends the
      // navigation keys.
      {Qt::Key_0, kKeypad, 0x60}, {Qt::Key_7, kKeypad, 0x67},
      {Qt::Key_Asterisk, kKeypad, 0x6A}, {Qt::Key_Plus, kKeypad, 0x6B},
      {Qt::Key_Minus, kKeypad, 0x6D}, {Qt::Key_Period, kKeypad, 0x6E},
      {Qt::Key_Slash, kKeypad, 0x6F}, {Qt::Key_Enter, kKeypad, 0x0D},
      {Qt::Key_Home, kKeypad, 0x24},
      // The main keyboard's * is Shift+8.
      {Qt::Key_Asterisk, kShift, 0x38},
  };
  // clang-format on
  for (const Case& c : cases) {
    EXPECT_EQ(WindowsVirtualKey(c.qtKey, c.mods), c.vk) << "Qt key " << c.qtKey;
  }
  // Punctuation is traced back to its key on the US layout.
  const std::pair<const char*, int> symbols[] = {
      {";:", 0xBA},  {"=+", 0xBB}, {",<", 0xBC},  {"-_", 0xBD},
      {".>", 0xBE},  {"/?", 0xBF}, {"`~", 0xC0},  {"[{", 0xDB},
      {"\\|", 0xDC}, {"]}", 0xDD}, {"'\"", 0xDE}, {")!@#$%^&*(", 0},
  };
  for (auto [keys, vk] : symbols) {
    for (int i = 0; keys[i] != '\0'; ++i) {
      // The digit row: the shifted symbols of 0 to 9, in that order.
      EXPECT_EQ(WindowsVirtualKey(keys[i], kShift), vk != 0 ? vk : 0x30 + i)
          << "symbol " << keys[i];
    }
  }
}

TEST_F(QtKeyTranslation, PressesCarryTheCharacterTheKeyTypes) {
  struct Case {
    int key;
    Qt::KeyboardModifiers mods;
    QString text;
    int character;
  };
  const Case cases[] = {
      {Qt::Key_A, kNone, "a", 'a'},
      {Qt::Key_A, kShift, "A", 'A'},
      {Qt::Key_Eacute, kNone, QString(QChar(0xE9)), 0xE9},
      {Qt::Key_5, kKeypad, "5", '5'},
      // Nothing outside Latin-1 fits in a byte; a dead key types nothing yet.
      {Qt::Key_E, kAlt | kCtrl, QString(QChar(0x20AC)), -1},
      {Qt::Key_Dead_Acute, kNone, "", -1},
      // Editing keys type fixed characters.
      {Qt::Key_Return, kNone, "\r", 13},
      {Qt::Key_Enter, kKeypad, "", 13},
      {Qt::Key_Backspace, kNone, "", 8},
      {Qt::Key_Escape, kNone, "", 27},
      {Qt::Key_Tab, kNone, "", 9},
      {Qt::Key_Backtab, kShift, "", 9},
      {Qt::Key_Return, kCtrl, "", 10},
      {Qt::Key_Backspace, kCtrl, "", 127},
      // Keys that do not type have no character, whatever their text.
      {Qt::Key_Delete, kNone, "\x7f", -1},
      {Qt::Key_Left, kNone, "", -1},
      {Qt::Key_F5, kNone, "", -1},
      {Qt::Key_Shift, kShift, "", -1},
      {Qt::Key_Pause, kShift, "", -1},
      // Ctrl types control codes even without text.
      {Qt::Key_A, kCtrl, "", 1},
      {Qt::Key_C, kCtrl, "\x03", 3},
      {Qt::Key_Z, kCtrl | kShift, "", 26},
      {Qt::Key_BracketLeft, kCtrl, "", 27},
      {Qt::Key_Backslash, kCtrl, "", 28},
      {Qt::Key_BracketRight, kCtrl, "", 29},
      {Qt::Key_1, kCtrl, "1", -1},
      // Ctrl+Alt is AltGr: the layout's printed character.
      {Qt::Key_Q, kCtrl | kAlt, "@", '@'},
      {Qt::Key_Q, kCtrl | kAlt, "\x11", -1},
  };
  for (const Case& c : cases) {
    const KeyStroke stroke = Press(c.key, c.mods, c.text);
    EXPECT_EQ(stroke.kind, Kind::kDown) << "Qt key " << c.key;
    EXPECT_EQ(stroke.character, c.character) << "Qt key " << c.key;
  }
  EXPECT_EQ(Press(Qt::Key_A, kNone, "a").virtualKey, 0x41);
}

TEST_F(QtKeyTranslation, AutoRepeatRepeatsPressesButNotReleases) {
  KeyStroke repeat = Press(Qt::Key_X, kNone, "x", true);
  EXPECT_EQ(repeat.kind, Kind::kDown);
  EXPECT_TRUE(repeat.autoRepeat);
  EXPECT_EQ(repeat.character, 'x');
  EXPECT_EQ(Release(Qt::Key_X, kNone, "x", true).kind, Kind::kNone);
  KeyStroke up = Release(Qt::Key_X, kNone, "x");
  EXPECT_EQ(up.kind, Kind::kUp);
  EXPECT_EQ(up.virtualKey, 0x58);
  EXPECT_EQ(up.character, -1);
}

TEST_F(QtKeyTranslation, AltWithoutCtrlAndF10AreSystemKeys) {
  struct Case {
    bool press;
    int key;
    Qt::KeyboardModifiers mods;
    Kind kind;
  };
  const Case cases[] = {
      {true, Qt::Key_F, kAlt, Kind::kSystem},
      {false, Qt::Key_F, kAlt, Kind::kSystem},
      {true, Qt::Key_Alt, kNone, Kind::kSystem},
      {true, Qt::Key_Alt, kAlt, Kind::kSystem},
      {false, Qt::Key_Alt, kAlt, Kind::kSystem},
      {false, Qt::Key_Alt, kNone, Kind::kSystem},
      {true, Qt::Key_F10, kNone, Kind::kSystem},
      {true, Qt::Key_F10, kShift, Kind::kSystem},
      {false, Qt::Key_F10, kNone, Kind::kSystem},
      // A modifier key's own event may or may not list it; either way Ctrl
      // counts as held once pressed and as gone once released.
      {false, Qt::Key_Control, kCtrl | kAlt, Kind::kSystem},
      {false, Qt::Key_Control, kAlt, Kind::kSystem},
      {true, Qt::Key_Control, kAlt, Kind::kDown},
      {true, Qt::Key_Control, kCtrl | kAlt, Kind::kDown},
      // With Ctrl held, Alt is an ordinary key.
      {true, Qt::Key_Alt, kCtrl, Kind::kDown},
      {true, Qt::Key_F9, kNone, Kind::kDown},
      {true, Qt::Key_F11, kNone, Kind::kDown},
  };
  for (const Case& c : cases) {
    const QString text = c.key == Qt::Key_F ? "f" : "";
    const KeyStroke stroke =
        c.press ? Press(c.key, c.mods, text) : Release(c.key, c.mods, text);
    EXPECT_EQ(stroke.kind, c.kind) << c.press << " Qt key " << c.key;
  }
  EXPECT_EQ(Press(Qt::Key_Alt, kCtrl).virtualKey, 0x12);
}

TEST_F(QtKeyTranslation, BarePauseIsTheComEnabledShortcut) {
  QKeyEvent pause(QEvent::KeyPress, Qt::Key_Pause, kNone);
  EXPECT_TRUE(IsComEnabledShortcut(pause));
  EXPECT_EQ(TranslateKeyEvent(pause).kind, Kind::kComEnabled);
  EXPECT_EQ(Press(Qt::Key_Pause, kNone, "", true).kind, Kind::kNone);
  EXPECT_EQ(Release(Qt::Key_Pause).kind, Kind::kNone);
  for (Qt::KeyboardModifiers mods : {kShift, kCtrl, kCtrl | kAlt}) {
    QKeyEvent held(QEvent::KeyPress, Qt::Key_Pause, mods);
    EXPECT_FALSE(IsComEnabledShortcut(held));
    KeyStroke stroke = TranslateKeyEvent(held);
    EXPECT_EQ(stroke.kind, Kind::kDown);
    EXPECT_EQ(stroke.virtualKey, 0x13);
  }
  EXPECT_EQ(Release(Qt::Key_Pause, kShift).kind, Kind::kUp);
}

// Qt events through the encoder to the wire.
struct QtKey {
  QEvent::Type type;
  int key;
  Qt::KeyboardModifiers mods;
  const char* text;
  bool autoRepeat;
};
QtKey P(int key, Qt::KeyboardModifiers mods = kNone, const char* text = "",
        bool autoRepeat = false) {
  return {QEvent::KeyPress, key, mods, text, autoRepeat};
}
QtKey R(int key, Qt::KeyboardModifiers mods = kNone, bool autoRepeat = false) {
  return {QEvent::KeyRelease, key, mods, "", autoRepeat};
}

TEST_F(QtKeysToBytes, TypedKeysReachTheWireEncoded) {
  struct Typing {
    const char* what;
    int normalTerminal;
    int vKeys;
    std::vector<QtKey> keys;
    Bytes out;
  };
  // clang-format off
  const Typing cases[] = {
      {"Shift+A then b", 1, 0,
       {P(Qt::Key_Shift, kShift), P(Qt::Key_A, kShift, "A"),
        R(Qt::Key_A, kShift), R(Qt::Key_Shift), P(Qt::Key_B, kNone, "b"),
        R(Qt::Key_B)},
       {'A', 'b'}},
      {"held Shift", 0, 0,
       {P(Qt::Key_Shift, kShift), P(Qt::Key_Shift, kShift, "", true),
        P(Qt::Key_Shift, kShift, "", true), R(Qt::Key_Shift, kShift, true),
        R(Qt::Key_Shift)},
       {1, 1, 1, 3}},
      {"Ctrl, Alt, AltGr+Q", 0, 0,
       {P(Qt::Key_Control, kCtrl), P(Qt::Key_Alt, kCtrl | kAlt),
        P(Qt::Key_Q, kCtrl | kAlt, "@")},
       {2, 4, '@'}},
      {"system keys and the Pause shortcut, then F9", 1, 1,
       {P(Qt::Key_Alt, kAlt), P(Qt::Key_F, kAlt, "f"), R(Qt::Key_F, kAlt),
        R(Qt::Key_Alt), P(Qt::Key_F10), R(Qt::Key_F10), P(Qt::Key_Pause),
        R(Qt::Key_Pause), P(Qt::Key_F9)},
       {0x78}},
  };
  // clang-format on
  for (const Typing& c : cases) {
    SCOPED_TRACE(c.what);
    test::FakePort port;
    SharedBlocks blocks;
    Settings settings;
    settings.NormalTerminalFlag = c.normalTerminal;
    settings.VKeys = c.vKeys;
    KeyEncoder encoder(port, blocks, settings);
    for (const QtKey& k : c.keys) {
      QKeyEvent event(k.type, k.key, k.mods, QString::fromLatin1(k.text),
                      k.autoRepeat);
      DeliverKeyStroke(TranslateKeyEvent(event), encoder);
    }
    EXPECT_EQ(port.Written(), c.out);
  }
}

}  // namespace
}  // namespace kestrix
