#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "app/KeyEncoder.h"
#include "support/FakePort.h"

namespace kestrix {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Windows virtual key codes, as the window reports them.
constexpr int kBack = 0x08, kTab = 0x09, kEnter = 0x0D, kShift = 0x10,
              kCtrl = 0x11, kAlt = 0x12, kPause = 0x13, kEsc = 0x1B, kF1 = 0x70,
              kF5 = 0x74, kF12 = 0x7B;

// One window event: a key-down with the character derived from it (or -1),
// or a key-up.
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
  Settings settings;
  KeyEncoder encoder{port, blocks, settings};

  void Play(const std::vector<Key>& keys) {
    for (const Key& k : keys) {
      if (!k.down) {
        encoder.OnKeyUp(k.vk);
        continue;
      }
      encoder.OnKeyDown(k.vk);
      if (k.character >= 0) encoder.OnCharacter(k.character);
    }
  }
};

constexpr int kNormal = 1, kDevice = 0;

TEST(KeyEncoder, KeysInBytesOut) {
  struct Case {
    const char* what;
    int normalTerminal;
    int vKeys;
    std::vector<Key> keys;
    Bytes out;
  };
  // clang-format off
  const Case cases[] = {
      {"A", kNormal, 0, {D('A', 'a'), U('A')}, {0x61}},
      {"Shift+A", kNormal, 0, {D(kShift), D('A', 'A'), U('A'), U(kShift)},
       {0x41}},
      {"Shift+A", kDevice, 0, {D(kShift), D('A', 'A'), U('A'), U(kShift)},
       {1, 0x41, 3}},
      {"Ctrl+C", kDevice, 0, {D(kCtrl), D('C', 3), U('C'), U(kCtrl)},
       {2, 0x63, 4}},
      {"Ctrl+C, E, A, D", kNormal, 0,
       {D(kCtrl), D('C', 3), D('E', 5), D('A', 1), D('D', 4), U(kCtrl)},
       {0x63, 3, 0x65, 0x61, 1, 0x64, 4}},
      {"Ctrl+Shift+A", kNormal, 0,
       {D(kCtrl), D(kShift), D('A', 1), U(kShift), U(kCtrl)}, {0x41, 1}},
      {"Ctrl+Shift+A", kDevice, 0,
       {D(kCtrl), D(kShift), D('A', 1), U(kShift), U(kCtrl)},
       {2, 1, 0x41, 3, 4}},
      {"Ctrl with non-letters, then 1 alone", kNormal, 0,
       {D(kCtrl), D('1'), D(0xBA), U(kCtrl), D('1', '1')}, {0x31, 0xBA, 0x31}},
      {"Ctrl released", kNormal, 0, {D(kCtrl), U(kCtrl), D('C', 'c')}, {'c'}},
      {"Backspace, Escape, Enter", kNormal, 0,
       {D(kBack, 8), D(kEsc, 27), D(kEnter, 13)}, {8, 27, 13}},
      {"Backspace, Escape, Enter", kDevice, 0,
       {D(kBack, 8), D(kEsc, 27), D(kEnter, 13)}, {200, 203, 13}},
      {"navigation keys", kNormal, 0,
       {D(0x25), D(0x27), D(0x26), D(0x28), D(0x24), D(0x23), D(0x21),
        D(0x22), D(0x2E), D(0x2D)},
       {0xC0, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6, 0xC7, 0xC9, 0xCA}},
      {"Tab sends 9 once", kNormal, 0, {D(kTab, 9)}, {9}},
      {"F1, F5, F12, Ctrl+F5", kNormal, 0,
       {D(kF1), D(kF5), D(kF12), D(kCtrl), D(kF5), U(kCtrl)},
       {0xD0, 0xD4, 0xDB, 0xD4}},
      {"Ctrl+F5", kDevice, 0, {D(kCtrl), D(kF5), U(kCtrl)}, {2, 0xD4, 4}},
      {"Shift+Pause", kNormal, 0, {D(kShift), D(kPause), U(kShift)}, {13}},
      {"Ctrl, Alt, AltGr+Q", kDevice, 0, {D(kCtrl), D(kAlt), D('Q', '@')},
       {2, 4, '@'}},
      {"Ctrl, Alt, AltGr+Q", kNormal, 0, {D(kCtrl), D(kAlt), D('Q', '@')},
       {'@'}},
      {"held Shift repeats", kDevice, 0,
       {D(kShift), D(kShift), D(kShift), U(kShift)}, {1, 1, 1, 3}},
      {"held Shift repeats", kNormal, 0, {D(kShift), D(kShift), U(kShift)},
       {}},
      {"Virtual Keycodes", kNormal, 1,
       {D('A', 'a'), U('A'), D(kShift), U(kShift), D(kBack, 8), U(kBack)},
       {0x41, 3, 0x41, 0x10, 3, 0x10, 0x08, 3, 0x08}},
      {"Virtual Keycodes, key without a code", kDevice, 1, {D(0, 0xE4), U(0)},
       {}},
      {"characters beyond 8 bits", kNormal, 0,
       {D(0, 0x20AC), D(0, 0x100), D(0, 0xFF)}, {0xFF}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message()
                 << c.what
                 << (c.normalTerminal ? ", normal terminal" : ", device"));
    Rig rig;
    rig.settings.NormalTerminalFlag = c.normalTerminal;
    rig.settings.VKeys = c.vKeys;
    rig.Play(c.keys);
    EXPECT_EQ(rig.port.Written(), c.out);
  }
}

TEST(KeyEncoder, ClosedPortSendsNothingButFollowsModifiers) {
  Rig rig;
  rig.settings.NormalTerminalFlag = 0;
  rig.port.open = false;
  rig.Play({D(kShift), D(kCtrl)});
  EXPECT_EQ(rig.encoder.ShiftHeld(), 1);
  EXPECT_EQ(rig.encoder.CtrlHeld(), 1);
  rig.Play({D('A', 1), U('A'), U(kShift)});
  EXPECT_EQ(rig.encoder.CharPass(), 1);
  EXPECT_EQ(rig.encoder.ShiftHeld(), 0);
  rig.settings.VKeys = 1;
  rig.Play({D('B'), U('B')});
  EXPECT_TRUE(rig.port.writes.empty());

  // Ctrl, still held from while the port was closed, shapes the next key.
  rig.settings.VKeys = 0;
  rig.port.open = true;
  rig.Play({D('A', 1)});
  EXPECT_EQ(rig.port.Written(), Bytes({0x61}));
}

TEST(KeyEncoder, VirtualKeycodesLeaveModifierFlagsToReleasesOnly) {
  Rig rig;
  rig.settings.VKeys = 1;
  rig.Play({D(kShift), D(kCtrl)});
  EXPECT_EQ(rig.encoder.ShiftHeld(), 0);
  EXPECT_EQ(rig.encoder.CtrlHeld(), 0);

  rig.settings.VKeys = 0;
  rig.Play({D(kCtrl)});
  rig.settings.VKeys = 1;
  rig.Play({U(kCtrl)});
  EXPECT_EQ(rig.encoder.CtrlHeld(), 0);
}

TEST(KeyEncoder, BytesLeaveFromTheSharedOutBlock) {
  Rig rig;
  rig.settings.NormalTerminalFlag = 0;
  rig.Play({D(kBack, 8)});
  EXPECT_EQ(rig.blocks.OutBlock[0], 200);
  rig.settings.VKeys = 1;
  rig.Play({U('Z')});
  EXPECT_EQ(rig.blocks.OutBlock[0], 3);
  EXPECT_EQ(rig.blocks.OutBlock[1], 'Z');
}

}  // namespace
}  // namespace kestrix
