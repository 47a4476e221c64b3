#include <gtest/gtest.h>

#include <cmath>

#include "EngineHarness.h"
#include "terminal/KeyEncoder.h"
#include "terminal/MouseReport.h"
#include "terminal/VirtualKeys.h"

namespace kestrix::test {
namespace {

// Modes: normal terminal or device display, each with Virtual Keycodes.
constexpr int kDevice = 0, kNormal = 1, kDeviceVk = 2, kNormalVk = 3;

// A key-down with the character derived from it (or -1), or a key-up; vk -1
// closes or reopens the port.
struct Key {
  bool down;
  int vk, character;
};
Key D(int vk, int character = -1) { return {true, vk, character}; }
Key U(int vk) { return {false, vk, -1}; }
const Key kTogglePort{false, -1, -1};

Bytes Play(int mode, const std::vector<Key>& keys) {
  FakePort port;
  SharedBlocks blocks;
  KeyEncoder encoder{port, blocks};
  const KeyModes modes{(mode >> 1) != 0, (mode & 1) != 0};
  for (const Key& k : keys) {
    if (k.vk < 0) {
      port.open = !port.open;
      continue;
    }
    k.down ? encoder.OnKeyDown(k.vk, modes) : encoder.OnKeyUp(k.vk, modes);
    if (k.character >= 0) encoder.OnCharacter(k.character, modes);
  }
  return port.Written();
}

TEST(KeyEncoder, KeysInBytesOut) {
  struct Row {
    const char* name;
    int mode;
    std::vector<Key> keys;
    Bytes out;
  };
  const int kShift = kVkShift, kCtrl = kVkControl;
  // clang-format off
  const Row rows[] = {
      // One byte on key-down; the character Tab derives is not sent too.
      {"special keys", kDevice, {D(kVkLeft), D(kVkRight), D(kVkUp), D(kVkDown), D(kVkHome), D(kVkEnd), D(kVkPageUp), D(kVkPageDown), D(kVkDelete), D(kVkInsert), D(kVkTab, 9), D(kVkPause)}, {0xC0, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6, 0xC7, 0xC9, 0xCA, 9, 13}},
      {"normal: modifiers silent", kNormal, {D(kShift), D('A', 'A'), U('A'), U(kShift)}, {0x41}},
      {"device: shift reported", kDevice, {D(kShift), D('A', 'A'), U('A'), U(kShift)}, {1, 0x41, 3}},
      {"normal: ctrl letter lower case", kNormal, {D(kCtrl), D('C', 3), D('E', 5), U(kCtrl)}, {0x63, 3, 0x65}},
      {"device: ctrl shift letter", kDevice, {D(kCtrl), D(kShift), D('A', 1), U(kShift), U(kCtrl)}, {2, 1, 0x41, 3, 4}},
      {"normal: ctrl digit", kNormal, {D(kCtrl), D('1'), U(kCtrl), D('1', '1')}, {0x31, 0x31}},
      {"normal: backspace, escape", kNormal, {D(kVkBackspace, 8), D(kVkEscape, 27)}, {8, 27}},
      {"device: backspace, escape remapped", kDevice, {D(kVkBackspace, 8), D(kVkEscape, 27), D(kVkReturn, 13)}, {200, 203, 13}},
      {"normal: navigation, ctrl F5", kNormal, {D(kVkLeft), D(kCtrl), D(0x74)}, {0xC0, 0xD4}},
      {"device: alt cancels ctrl", kDevice, {D(kCtrl), D(kVkAlt), D('Q', '@')}, {2, 4, '@'}},
      {"normal vk: release prefix", kNormalVk, {D('A', 'a'), U('A'), D(kShift), U(kShift)}, {0x41, 3, 0x41, 0x10, 3, 0x10}},
      {"device vk: unnamed key silent", kDeviceVk, {D(0, 0xE4), U(0)}, {}},
      {"modifiers followed while closed", kDevice, {kTogglePort, D(kCtrl), kTogglePort, D('A', 1)}, {0x61}},
      {"wide characters dropped", kNormal, {D(0, 0x20AC), D(0, 0x100), D(0, 0xFF)}, {0xFF}},
      {"F1 and F12, not F13", kDevice, {D(0x70), D(0x7B), D(0x7C)}, {0xD0, 0xDB}},
  };
  // clang-format on
  for (const Row& row : rows)
    EXPECT_EQ(Play(row.mode, row.keys), row.out) << row.name;
}

// Reports from the 640 x 446 inner area of an 80 x 25 window: the low bits
// of x (0x20) and y (0x10) ride in the second byte with the buttons.
TEST(MouseReport, NineBitPositionsAndButtonBits) {
  struct Row {
    const char* name;
    bool left, right, release;
    int x, y;
    Bytes out;
  };
  // clang-format off
  const Row rows[] = {
      {"x 511: low bit 0x20", false, false, false, 511, 0, {5, 0x20, 255, 0}},
      {"x 512 loses its top bit, y 445: 0x10", false, false, false, 512, 445, {5, 0x10, 0, 222}},
      {"outside: both -1", false, false, false, 640, 20, {5, 0x30, 0xFF, 0xFF}},
      {"left button: bit 0", true, false, false, 10, 10, {5, 0x01, 5, 5}},
      {"both buttons", true, true, false, 11, 10, {5, 0x23, 5, 5}},
      {"any release forgets both", true, true, true, 10, 10, {5, 0x00, 5, 5}},
  };
  // clang-format on
  for (const Row& row : rows) {
    FakePort port;
    SharedBlocks blocks;
    MouseButtons buttons;
    if (row.left) buttons.PressLeft();
    if (row.right) buttons.PressRight();
    if (row.release) buttons.Release();
    SendMouseReport(port, blocks, buttons,
                    ImagePosition(row.x, row.y, 640, 446, 1.0f));
    // One write, and it leaves from the shared out block.
    port.writes.emplace_back(blocks.OutBlock.begin(),
                             blocks.OutBlock.begin() + 4);
    EXPECT_EQ(port.writes, (std::vector<Bytes>{row.out, row.out})) << row.name;
  }
  // Scaled positions round halves to even; odd scales and huge or NaN values
  // must not reach an undefined cast.
  EXPECT_EQ(ImagePosition(5, 7, 1280, 892, 2.0f), (ImagePoint{2, 4}));
  EXPECT_EQ(ImagePosition(959, 668, 960, 669, 1.5f), (ImagePoint{639, 445}));
  EXPECT_EQ(ImagePosition(-5, -5, 1280, 892, 2.0f), (ImagePoint{0, 0}));
  // An unusable scale is taken as 1.
  for (float scale : {0.0f, -2.0f, NAN, INFINITY})
    EXPECT_EQ(ImagePosition(100, 37, 640, 446, scale), (ImagePoint{100, 37}))
        << scale;
}

}  // namespace
}  // namespace kestrix::test
