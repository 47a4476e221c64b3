#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "support/FakePort.h"
#include "terminal/KeyEncoder.h"

namespace kestrix {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Windows virtual key codes, as the window reports them.
constexpr int kBack = 0x08, kTab = 0x09, kEnter = 0x0D, kShift = 0x10,
              kCtrl = 0x11, kAlt = 0x12, kPause = 0x13, kEsc = 0x1B, kF1 = 0x70,
              kF5 = 0x74, kF12 = 0x7B;
// Modes: normal terminal or device display, each with Virtual Keycodes.
constexpr int kDevice = 0, kNormal = 1, kDeviceVk = 2, kNormalVk = 3;

// A key-down with the character derived from it (or -1), or a key-up.
struct Key {
  bool down;
  int vk;
  int character;
};
Key D(int vk, int character = -1) { return {true, vk, character}; }
Key U(int vk) { return {false, vk, -1}; }

struct Rig {
  test::FakePort port;
  SharedBlocks blocks;
  KeyModes settings;
  KeyEncoder encoder{port, blocks};

  void Play(const std::vector<Key>& keys) {
    for (const Key& k : keys) {
      k.down ? encoder.OnKeyDown(k.vk, settings)
             : encoder.OnKeyUp(k.vk, settings);
      if (k.character >= 0) encoder.OnCharacter(k.character, settings);
    }
  }
};

TEST(KeyEncoder, KeysInBytesOut) {
  struct Case {
    int mode;
    std::vector<Key> keys;
    Bytes out;
  };
  const Case cases[] = {
      {kNormal, {D(kShift), D('A', 'A'), U('A'), U(kShift)}, {0x41}},
      {kDevice, {D(kShift), D('A', 'A'), U('A'), U(kShift)}, {1, 0x41, 3}},
      {kNormal, {D(kCtrl), D('C', 3), D('E', 5), U(kCtrl)}, {0x63, 3, 0x65}},
      {kDevice,
       {D(kCtrl), D(kShift), D('A', 1), U(kShift), U(kCtrl)},
       {2, 1, 0x41, 3, 4}},
      {kNormal, {D(kCtrl), D('1'), U(kCtrl), D('1', '1')}, {0x31, 0x31}},
      {kNormal, {D(kBack, 8), D(kEsc, 27), D(kTab, 9)}, {8, 27, 9}},
      {kDevice, {D(kBack, 8), D(kEsc, 27), D(kEnter, 13)}, {200, 203, 13}},
      {kNormal,
       {D(0x25), D(0x2D), D(kF1), D(kF12), D(kCtrl), D(kF5)},
       {0xC0, 0xCA, 0xD0, 0xDB, 0xD4}},
      {kDevice, {D(kCtrl), D(kAlt), D('Q', '@')}, {2, 4, '@'}},
      {kDevice, {D(kShift), D(kShift), U(kShift)}, {1, 1, 3}},
      {kNormalVk,
       {D('A', 'a'), U('A'), D(kShift), U(kShift)},
       {0x41, 3, 0x41, 0x10, 3, 0x10}},
      {kDeviceVk, {D(0, 0xE4), U(0)}, {}},
      // Characters that do not fit a byte are dropped, not truncated.
      {kNormal, {D(0, 0x20AC), D(0, 0x100), D(0, 0xFF)}, {0xFF}},
  };
  int row = 0;
  for (const Case& c : cases) {
    Rig rig;
    rig.settings.NormalTerminalFlag = c.mode & 1;
    rig.settings.VKeys = c.mode >> 1;
    rig.Play(c.keys);
    EXPECT_EQ(rig.port.Written(), c.out) << "row " << row++;
  }
}

TEST(KeyEncoder, ModifiersAreFollowedWhileThePortIsClosed) {
  Rig rig;
  rig.settings.NormalTerminalFlag = 0;
  rig.port.open = false;
  rig.Play({D(kShift), D(kCtrl), D('A', 1), U('A'), U(kShift)});
  // Ctrl, still held from while the port was closed, shapes the next key.
  rig.port.open = true;
  rig.Play({D('A', 1)});
  EXPECT_EQ(rig.port.Written(), Bytes({0x61}));
}

}  // namespace
}  // namespace kestrix
