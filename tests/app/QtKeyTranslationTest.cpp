#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QKeyEvent>
#include <QString>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <utility>
#include <vector>

#include "app/KeyEncoder.h"
#include "app/QtKeyTranslation.h"
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
class WithGui : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // Qt strips the options it consumed, so every suite starts afresh.
    argc_ = 3;
    argv_[0] = name_;
    argv_[1] = platformOption_;
    argv_[2] = platform_;
    app_ = std::make_unique<QGuiApplication>(argc_, argv_);
  }
  static void TearDownTestSuite() { app_.reset(); }

 private:
  static inline char name_[] = "app_tests";
  static inline char platformOption_[] = "-platform";
  static inline char platform_[] = "offscreen";
  static inline char* argv_[4] = {};
  static inline int argc_ = 0;
  static inline std::unique_ptr<QGuiApplication> app_;
};
class QtKeyTranslation : public WithGui {};
class QtKeysToBytes : public WithGui {};

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
  // clang-format off
  const std::pair<int, int> table[] = {
      {Qt::Key_A, 0x41}, {Qt::Key_Z, 0x5A}, {Qt::Key_0, 0x30},
      {Qt::Key_9, 0x39}, {Qt::Key_F1, 0x70}, {Qt::Key_F12, 0x7B},
      {Qt::Key_F24, 0x87}, {Qt::Key_Left, 0x25}, {Qt::Key_Up, 0x26},
      {Qt::Key_Right, 0x27}, {Qt::Key_Down, 0x28}, {Qt::Key_Home, 0x24},
      {Qt::Key_End, 0x23}, {Qt::Key_PageUp, 0x21}, {Qt::Key_PageDown, 0x22},
      {Qt::Key_Insert, 0x2D}, {Qt::Key_Delete, 0x2E}, {Qt::Key_Tab, 0x09},
      {Qt::Key_Backtab, 0x09}, {Qt::Key_Return, 0x0D}, {Qt::Key_Enter, 0x0D},
      {Qt::Key_Backspace, 0x08}, {Qt::Key_Escape, 0x1B},
      {Qt::Key_Space, 0x20}, {Qt::Key_Shift, 0x10}, {Qt::Key_Control, 0x11},
      {Qt::Key_Alt, 0x12}, {Qt::Key_Pause, 0x13}, {Qt::Key_CapsLock, 0x14},
      {Qt::Key_NumLock, 0x90}, {Qt::Key_ScrollLock, 0x91},
      {Qt::Key_unknown, 0}, {Qt::Key_Adiaeresis, 0},
  };
  // clang-format on
  for (auto [qtKey, vk] : table) {
    EXPECT_EQ(WindowsVirtualKey(qtKey, kNone), vk) << "Qt key " << qtKey;
  }
}

TEST_F(QtKeyTranslation, TracesPunctuationBackToTheUsLayoutKey) {
  const std::initializer_list<std::pair<const char*, int>> keys = {
      {";:", 0xBA},  {"=+", 0xBB}, {",<", 0xBC},  {"-_", 0xBD},
      {".>", 0xBE},  {"/?", 0xBF}, {"`~", 0xC0},  {"[{", 0xDB},
      {"\\|", 0xDC}, {"]}", 0xDD}, {"'\"", 0xDE}, {")!@#$%^&*(", 0},
  };
  for (auto [symbols, vk] : keys) {
    for (int i = 0; symbols[i] != '\0'; ++i) {
      // The digit row: the shifted symbols of 0 to 9, in that order.
      int expected = vk != 0 ? vk : 0x30 + i;
      EXPECT_EQ(WindowsVirtualKey(symbols[i], kShift), expected)
          << "symbol " << symbols[i];
    }
  }
}

TEST_F(QtKeyTranslation, KeypadKeysUseNumberPadCodes) {
  EXPECT_EQ(WindowsVirtualKey(Qt::Key_0, kKeypad), 0x60);
  EXPECT_EQ(WindowsVirtualKey(Qt::Key_7, kKeypad), 0x67);
  EXPECT_EQ(WindowsVirtualKey(Qt::Key_Asterisk, kKeypad), 0x6A);
  EXPECT_EQ(WindowsVirtualKey(Qt::Key_Plus, kKeypad), 0x6B);
  EXPECT_EQ(WindowsVirtualKey(Qt::Key_Minus, kKeypad), 0x6D);
  EXPECT_EQ(WindowsVirtualKey(Qt::Key_Period, kKeypad), 0x6E);
  EXPECT_EQ(WindowsVirtualKey(Qt::Key_Slash, kKeypad), 0x6F);
  EXPECT_EQ(WindowsVirtualKey(Qt::Key_Enter, kKeypad), 0x0D);
  // With Num Lock off the keypad sends the navigation keys.
  EXPECT_EQ(WindowsVirtualKey(Qt::Key_Home, kKeypad), 0x24);
  // The main keyboard's * is Shift+8.
  EXPECT_EQ(WindowsVirtualKey(Qt::Key_Asterisk, kShift), 0x38);
}

TEST_F(QtKeyTranslation, PressesCarryTheCharacterTheLayoutTyped) {
  KeyStroke a = Press(Qt::Key_A, kNone, "a");
  EXPECT_EQ(a.kind, Kind::kDown);
  EXPECT_EQ(a.virtualKey, 0x41);
  EXPECT_EQ(a.character, 'a');
  EXPECT_EQ(Press(Qt::Key_A, kShift, "A").character, 'A');
  EXPECT_EQ(Press(Qt::Key_Eacute, kNone, QString(QChar(0xE9))).character, 0xE9);
  EXPECT_EQ(Press(Qt::Key_5, kKeypad, "5").character, '5');
  // Nothing outside Latin-1 fits in a byte.
  EXPECT_EQ(Press(Qt::Key_E, kAlt | kCtrl, QString(QChar(0x20AC))).character,
            -1);
  // A dead key types nothing yet.
  EXPECT_EQ(Press(Qt::Key_Dead_Acute, kNone, "").character, -1);
}

TEST_F(QtKeyTranslation, EditingKeysTypeFixedCharacters) {
  EXPECT_EQ(Press(Qt::Key_Return, kNone, "\r").character, 13);
  EXPECT_EQ(Press(Qt::Key_Enter, kKeypad, "").character, 13);
  EXPECT_EQ(Press(Qt::Key_Backspace).character, 8);
  EXPECT_EQ(Press(Qt::Key_Escape).character, 27);
  EXPECT_EQ(Press(Qt::Key_Tab).character, 9);
  EXPECT_EQ(Press(Qt::Key_Backtab, kShift).character, 9);
  EXPECT_EQ(Press(Qt::Key_Return, kCtrl).character, 10);
  EXPECT_EQ(Press(Qt::Key_Backspace, kCtrl).character, 127);
}

TEST_F(QtKeyTranslation, NonTypingKeysHaveNoCharacterWhateverTheirText) {
  EXPECT_EQ(Press(Qt::Key_Delete, kNone, "\x7f").character, -1);
  EXPECT_EQ(Press(Qt::Key_Left).character, -1);
  EXPECT_EQ(Press(Qt::Key_F5).character, -1);
  EXPECT_EQ(Press(Qt::Key_Shift, kShift).character, -1);
  EXPECT_EQ(Press(Qt::Key_Pause, kShift).character, -1);
}

TEST_F(QtKeyTranslation, CtrlTypesControlCodesEvenWithoutText) {
  EXPECT_EQ(Press(Qt::Key_A, kCtrl, "").character, 1);
  EXPECT_EQ(Press(Qt::Key_C, kCtrl, "\x03").character, 3);
  EXPECT_EQ(Press(Qt::Key_Z, kCtrl | kShift, "").character, 26);
  EXPECT_EQ(Press(Qt::Key_BracketLeft, kCtrl, "").character, 27);
  EXPECT_EQ(Press(Qt::Key_Backslash, kCtrl, "").character, 28);
  EXPECT_EQ(Press(Qt::Key_BracketRight, kCtrl, "").character, 29);
  EXPECT_EQ(Press(Qt::Key_1, kCtrl, "1").character, -1);
  // Ctrl+Alt is AltGr: the layout's printed character.
  EXPECT_EQ(Press(Qt::Key_Q, kCtrl | kAlt, "@").character, '@');
  EXPECT_EQ(Press(Qt::Key_Q, kCtrl | kAlt, "\x11").character, -1);
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
  EXPECT_EQ(Press(Qt::Key_F, kAlt, "f").kind, Kind::kSystem);
  EXPECT_EQ(Release(Qt::Key_F, kAlt, "f").kind, Kind::kSystem);
  EXPECT_EQ(Press(Qt::Key_Alt, kNone).kind, Kind::kSystem);
  EXPECT_EQ(Press(Qt::Key_Alt, kAlt).kind, Kind::kSystem);
  EXPECT_EQ(Release(Qt::Key_Alt, kAlt).kind, Kind::kSystem);
  EXPECT_EQ(Release(Qt::Key_Alt, kNone).kind, Kind::kSystem);
  EXPECT_EQ(Press(Qt::Key_F10).kind, Kind::kSystem);
  EXPECT_EQ(Press(Qt::Key_F10, kShift).kind, Kind::kSystem);
  EXPECT_EQ(Release(Qt::Key_F10).kind, Kind::kSystem);
  // A modifier key's own event may or may not list it; either way Ctrl
  // counts as held once pressed and as gone once released.
  EXPECT_EQ(Release(Qt::Key_Control, kCtrl | kAlt).kind, Kind::kSystem);
  EXPECT_EQ(Release(Qt::Key_Control, kAlt).kind, Kind::kSystem);
  EXPECT_EQ(Press(Qt::Key_Control, kAlt).kind, Kind::kDown);
  EXPECT_EQ(Press(Qt::Key_Control, kCtrl | kAlt).kind, Kind::kDown);

  // With Ctrl held, Alt is an ordinary key.
  KeyStroke alt = Press(Qt::Key_Alt, kCtrl);
  EXPECT_EQ(alt.kind, Kind::kDown);
  EXPECT_EQ(alt.virtualKey, 0x12);
  EXPECT_EQ(Press(Qt::Key_F9).kind, Kind::kDown);
  EXPECT_EQ(Press(Qt::Key_F11).kind, Kind::kDown);
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

struct Typing {
  const char* what;
  int normalTerminal;
  int vKeys;
  std::vector<QtKey> keys;
  Bytes out;
};

TEST_F(QtKeysToBytes, TypedKeysReachTheWireEncoded) {
  const Typing cases[] = {
      {"Shift+A then b",
       1,
       0,
       {P(Qt::Key_Shift, kShift), P(Qt::Key_A, kShift, "A"),
        R(Qt::Key_A, kShift), R(Qt::Key_Shift), P(Qt::Key_B, kNone, "b"),
        R(Qt::Key_B)},
       {'A', 'b'}},
      {"Ctrl+C",
       1,
       0,
       {P(Qt::Key_Control, kCtrl), P(Qt::Key_C, kCtrl), R(Qt::Key_C, kCtrl),
        R(Qt::Key_Control)},
       {0x63, 3}},
      {"held Shift",
       0,
       0,
       {P(Qt::Key_Shift, kShift), P(Qt::Key_Shift, kShift, "", true),
        P(Qt::Key_Shift, kShift, "", true), R(Qt::Key_Shift, kShift, true),
        R(Qt::Key_Shift)},
       {1, 1, 1, 3}},
      {"Ctrl, Alt, AltGr+Q",
       0,
       0,
       {P(Qt::Key_Control, kCtrl), P(Qt::Key_Alt, kCtrl | kAlt),
        P(Qt::Key_Q, kCtrl | kAlt, "@")},
       {2, 4, '@'}},
      {"Backspace, Escape, Enter, Left",
       0,
       0,
       {P(Qt::Key_Backspace, kNone, "\b"), P(Qt::Key_Escape, kNone, "\x1b"),
        P(Qt::Key_Return, kNone, "\r"), P(Qt::Key_Left)},
       {200, 203, 13, 0xC0}},
      {"system keys and the Pause shortcut, then F9",
       1,
       1,
       {P(Qt::Key_Alt, kAlt), P(Qt::Key_F, kAlt, "f"), R(Qt::Key_F, kAlt),
        R(Qt::Key_Alt), P(Qt::Key_F10), R(Qt::Key_F10), P(Qt::Key_Pause),
        R(Qt::Key_Pause), P(Qt::Key_F9)},
       {0x78}},
  };
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
