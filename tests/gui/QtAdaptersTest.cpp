#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QKeySequence>
#include <QString>
#include <filesystem>
#include <string>
#include <vector>

#include "app/WindowRig.h"
#include "gui/QtHost.h"
#include "gui/QtKeyTranslation.h"

namespace kestrix {
namespace {

using Kind = KeyStroke::Kind;

constexpr Qt::KeyboardModifiers kNone = Qt::NoModifier;
constexpr Qt::KeyboardModifiers kShift = Qt::ShiftModifier;
constexpr Qt::KeyboardModifiers kCtrl = Qt::ControlModifier;
constexpr Qt::KeyboardModifiers kAlt = Qt::AltModifier;

// Key events need Qt's keyboard device, which a running application owns.
class QtAdapters : public test::WindowTest {};

KeyStroke Key(bool press, int key, Qt::KeyboardModifiers mods = kNone,
              const QString& text = {}, bool autoRepeat = false) {
  QKeyEvent event(press ? QEvent::KeyPress : QEvent::KeyRelease, key, mods,
                  text, autoRepeat);
  return TranslateKeyEvent(event);
}

TEST_F(QtAdapters, NamesKeysWithWindowsVirtualKeys) {
  // The number pad has codes of its own; punctuation is traced back to its
  // key on the US layout.
  const int shift = Qt::ShiftModifier, pad = Qt::KeypadModifier;
  const int cases[][3] = {
      {Qt::Key_A, 0, 0x41},       {Qt::Key_0, 0, 0x30},
      {Qt::Key_F1, 0, 0x70},      {Qt::Key_F24, 0, 0x87},
      {Qt::Key_Left, 0, 0x25},    {Qt::Key_Backtab, 0, 0x09},
      {Qt::Key_Enter, 0, 0x0D},   {Qt::Key_unknown, 0, 0},
      {Qt::Key_Adiaeresis, 0, 0}, {Qt::Key_0, pad, 0x60},
      {Qt::Key_Home, pad, 0x24},  {Qt::Key_Asterisk, shift, 0x38},
      {':', shift, 0xBA},         {'"', shift, 0xDE},
      {')', shift, 0x30}};
  for (const auto& c : cases) {
    EXPECT_EQ(WindowsVirtualKey(c[0], Qt::KeyboardModifiers(c[1])), c[2])
        << QKeySequence(c[0] | c[1]).toString().toStdString();
  }
}

TEST_F(QtAdapters, PressesCarryTheirCharacterSystemKeysAndPauseStayApart) {
  auto typed = [](int key, Qt::KeyboardModifiers mods, const QString& text) {
    const KeyStroke stroke = Key(true, key, mods, text);
    return stroke.kind == Kind::kDown ? stroke.character : -2;
  };
  EXPECT_EQ(typed(Qt::Key_A, kShift, "A"), 'A');
  EXPECT_EQ(typed(Qt::Key_Eacute, kNone, QString(QChar(0xE9))), 0xE9);
  // Nothing outside Latin-1 fits in a byte; a dead key types nothing yet.
  EXPECT_EQ(typed(Qt::Key_E, kAlt | kCtrl, QString(QChar(0x20AC))), -1);
  EXPECT_EQ(typed(Qt::Key_Dead_Acute, kNone, ""), -1);
  EXPECT_EQ(typed(Qt::Key_Return, kCtrl, ""), 10);
  EXPECT_EQ(typed(Qt::Key_Backspace, kCtrl, ""), 127);
  // Keys that do not type have no character, whatever their text.
  EXPECT_EQ(typed(Qt::Key_Delete, kNone, "\x7f"), -1);
  // Ctrl types control codes even without text.
  EXPECT_EQ(typed(Qt::Key_BracketRight, kCtrl, ""), 29);
  EXPECT_EQ(typed(Qt::Key_1, kCtrl, "1"), -1);
  // Ctrl+Alt is AltGr: the layout's printed character.
  EXPECT_EQ(typed(Qt::Key_Q, kCtrl | kAlt, "@"), '@');
  EXPECT_EQ(typed(Qt::Key_Q, kCtrl | kAlt, "\x11"), -1);
  // Auto-repeat repeats presses but not releases.
  EXPECT_EQ(Key(true, Qt::Key_X, kNone, "x", true).character, 'x');
  EXPECT_EQ(Key(false, Qt::Key_X, kNone, "x", true).kind, Kind::kNone);
  const KeyStroke up = Key(false, Qt::Key_X, kNone, "x");
  EXPECT_EQ(up.kind, Kind::kUp);
  EXPECT_EQ(up.virtualKey, 0x58);
  EXPECT_EQ(Key(true, Qt::Key_F, kAlt, "f").kind, Kind::kSystem);
  EXPECT_EQ(Key(false, Qt::Key_Alt).kind, Kind::kSystem);
  EXPECT_EQ(Key(false, Qt::Key_F10, kShift).kind, Kind::kSystem);
  // Ctrl counts as held once pressed and as gone once released, whether or
  // not its own event lists it.
  EXPECT_EQ(Key(false, Qt::Key_Control, kCtrl | kAlt).kind, Kind::kSystem);
  EXPECT_EQ(Key(true, Qt::Key_Control, kAlt).kind, Kind::kDown);
  EXPECT_EQ(Key(true, Qt::Key_Alt, kCtrl).kind, Kind::kDown);
  // A bare press of Pause toggles Com Enabled (the window suite's); held
  // down or released, it does nothing more.
  EXPECT_EQ(Key(true, Qt::Key_Pause, kNone, "", true).kind, Kind::kNone);
  EXPECT_EQ(Key(false, Qt::Key_Pause).kind, Kind::kNone);
}

// A relative name is resolved in the working folder first, since
// "file:doc.txt" is taken for a web address.
TEST_F(QtAdapters, DocumentLaunchResolvesRelativeNamesInTheWorkingFolder) {
  std::vector<std::string> launched;
  QtHost host([&](const QUrl& url) {
    launched.push_back(url.toString(QUrl::FullyEncoded).toStdString());
  });
  const std::string here = std::filesystem::current_path().string();
  const std::pair<std::string, std::string> rows[] = {
      {"my doc.txt", "file://" + here + "/my%20doc.txt"},
      {"docs/a.txt", "file://" + here + "/docs/a.txt"},
      {"/opt/x/readme.txt", "file:///opt/x/readme.txt"},
      {"https://example.org/a b", "https://example.org/a%20b"}};
  for (const auto& [target, url] : rows) {
    launched.clear();
    host.OpenDocument(target);
    EXPECT_EQ(launched, std::vector<std::string>{url}) << target;
  }
}

}  // namespace
}  // namespace kestrix
