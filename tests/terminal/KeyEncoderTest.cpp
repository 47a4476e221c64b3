#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "support/FakePort.h"
#include "terminal/KeyEncoder.h"
#include "terminal/VirtualKeys.h"

namespace kestrix {
namespace {

using Bytes = std::vector<std::uint8_t>;

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
// Not a key: closes or reopens the port.
const Key kTogglePort{false, -1, -1};

Bytes Play(int mode, const std::vector<Key>& keys) {
  test::FakePort port;
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

// The navigation, modifier and function keys, one byte each on key-down.
TEST(KeyEncoder, SpecialKeysAndFunctionKeys) {
  struct Row {
    const char* name;
    int vk;
    int code;
  };
  // clang-format off
  const Row rows[] = {
      {"Left", kVkLeft, 0xC0}, {"Right", kVkRight, 0xC1}, {"Up", kVkUp, 0xC2},
      {"Down", kVkDown, 0xC3}, {"Home", kVkHome, 0xC4}, {"End", kVkEnd, 0xC5},
      {"PageUp", kVkPageUp, 0xC6}, {"PageDown", kVkPageDown, 0xC7},
      {"Delete", kVkDelete, 0xC9}, {"Insert", kVkInsert, 0xCA},
      {"Tab", kVkTab, 0x09}, {"Pause", kVkPause, 0x0D},
      {"Shift", kVkShift, 1}, {"Ctrl", kVkControl, 2}, {"Alt", kVkAlt, 4},
      {"F1", 0x70, 0xD0}, {"F2", 0x71, 0xD1}, {"F3", 0x72, 0xD2},
      {"F4", 0x73, 0xD3}, {"F5", 0x74, 0xD4}, {"F6", 0x75, 0xD5},
      {"F7", 0x76, 0xD6}, {"F8", 0x77, 0xD7}, {"F9", 0x78, 0xD8},
      {"F10", 0x79, 0xD9}, {"F11", 0x7A, 0xDA}, {"F12", 0x7B, 0xDB},
  };
  // clang-format on
  for (const Row& row : rows) {
    // The character some of them derive (Tab's 9) is not sent as well.
    EXPECT_EQ(Play(kDevice, {D(row.vk, row.vk == kVkTab ? 9 : -1)}),
              Bytes{static_cast<std::uint8_t>(row.code)})
        << row.name;
  }
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
  };
  // clang-format on
  for (const Row& row : rows) {
    EXPECT_EQ(Play(row.mode, row.keys), row.out) << row.name;
  }
}

}  // namespace
}  // namespace kestrix
