#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "app/KeyEncoder.h"
#include "support/FakePort.h"

namespace kestrix {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Windows virtual key codes, as the window reports them.
constexpr int kBackspace = 0x08;
constexpr int kTab = 0x09;
constexpr int kEnter = 0x0D;
constexpr int kShift = 0x10;
constexpr int kCtrl = 0x11;
constexpr int kAlt = 0x12;
constexpr int kPause = 0x13;
constexpr int kEscape = 0x1B;
constexpr int kF1 = 0x70;
constexpr int kF5 = 0x74;
constexpr int kF12 = 0x7B;
constexpr int kNoChar = -1;

class KeyEncoderTest : public ::testing::Test {
 protected:
  void NormalTerminal() { settings.NormalTerminalFlag = 1; }
  void DeviceDisplay() { settings.NormalTerminalFlag = 0; }

  // A key-down followed by the character the layout derives from it.
  void Down(int vk, int character = kNoChar) {
    encoder.OnKeyDown(vk);
    if (character != kNoChar) encoder.OnCharacter(character);
  }
  void Up(int vk) { encoder.OnKeyUp(vk); }
  // Press and release of one key.
  void Tap(int vk, int character = kNoChar) {
    Down(vk, character);
    Up(vk);
  }
  Bytes Sent() const { return port.Written(); }

  test::FakePort port;
  SharedBlocks blocks;
  Settings settings;
  KeyEncoder encoder{port, blocks, settings};
};

TEST_F(KeyEncoderTest, NormalTerminalSendsTypedCharactersOnly) {
  NormalTerminal();
  Tap('A', 'a');
  EXPECT_EQ(Sent(), Bytes({0x61}));

  Down(kShift);
  Tap('A', 'A');
  Up(kShift);
  EXPECT_EQ(Sent(), Bytes({0x61, 0x41}));
}

TEST_F(KeyEncoderTest, DeviceDisplayReportsShiftAroundTheCharacter) {
  DeviceDisplay();
  Down(kShift);
  Tap('A', 'A');
  Up(kShift);
  EXPECT_EQ(Sent(), Bytes({1, 0x41, 3}));
}

TEST_F(KeyEncoderTest, CtrlLetterInDeviceDisplaySendsLowerCaseKeyOnly) {
  DeviceDisplay();
  Down(kCtrl);
  Tap('C', 3);
  Up(kCtrl);
  EXPECT_EQ(Sent(), Bytes({2, 0x63, 4}));
}

TEST_F(KeyEncoderTest, CtrlAToDInNormalTerminalAlsoSendTheirControlCode) {
  NormalTerminal();
  Down(kCtrl);
  Tap('C', 3);
  Tap('E', 5);
  Tap('A', 1);
  Tap('D', 4);
  Up(kCtrl);
  EXPECT_EQ(Sent(), Bytes({0x63, 3, 0x65, 0x61, 1, 0x64, 4}));
}

TEST_F(KeyEncoderTest, CtrlShiftLetterSendsUpperCaseKey) {
  NormalTerminal();
  Down(kCtrl);
  Down(kShift);
  Tap('A', 1);
  Up(kShift);
  Up(kCtrl);
  EXPECT_EQ(Sent(), Bytes({0x41, 1}));

  port.writes.clear();
  DeviceDisplay();
  Down(kCtrl);
  Down(kShift);
  Tap('A', 1);
  Up(kShift);
  Up(kCtrl);
  EXPECT_EQ(Sent(), Bytes({2, 1, 0x41, 3, 4}));
}

TEST_F(KeyEncoderTest, CtrlWithANonLetterSendsItsVirtualKey) {
  NormalTerminal();
  Down(kCtrl);
  Tap('1');
  Tap(0xBA);  // the ; key
  Up(kCtrl);
  Tap('1', '1');
  EXPECT_EQ(Sent(), Bytes({0x31, 0xBA, 0x31}));
}

TEST_F(KeyEncoderTest, BackspaceAndEscapeAreRemappedInDeviceDisplayOnly) {
  NormalTerminal();
  Tap(kBackspace, 8);
  Tap(kEscape, 27);
  Tap(kEnter, 13);
  EXPECT_EQ(Sent(), Bytes({8, 27, 13}));

  port.writes.clear();
  DeviceDisplay();
  Tap(kBackspace, 8);
  Tap(kEscape, 27);
  Tap(kEnter, 13);
  EXPECT_EQ(Sent(), Bytes({200, 203, 13}));
}

TEST_F(KeyEncoderTest, SpecialKeysSendTheirCodeAndSuppressTheirCharacter) {
  NormalTerminal();
  const std::initializer_list<std::pair<int, int>> table = {
      {0x25, 0xC0}, {0x27, 0xC1}, {0x26, 0xC2}, {0x28, 0xC3},
      {0x24, 0xC4}, {0x23, 0xC5}, {0x21, 0xC6}, {0x22, 0xC7},
      {0x2E, 0xC9}, {0x2D, 0xCA}, {kTab, 0x09},
  };
  for (auto [vk, code] : table) {
    port.writes.clear();
    // Tab also derives character 9; it must not arrive twice.
    Tap(vk, vk == kTab ? 9 : kNoChar);
    EXPECT_EQ(Sent(), Bytes({static_cast<std::uint8_t>(code)}))
        << "virtual key " << vk;
  }
}

TEST_F(KeyEncoderTest, FunctionKeysIgnoreCtrl) {
  NormalTerminal();
  Tap(kF5);
  Tap(kF1);
  Tap(kF12);
  Down(kCtrl);
  Tap(kF5);
  Up(kCtrl);
  EXPECT_EQ(Sent(), Bytes({0xD4, 0xD0, 0xDB, 0xD4}));

  port.writes.clear();
  DeviceDisplay();
  Down(kCtrl);
  Tap(kF5);
  Up(kCtrl);
  EXPECT_EQ(Sent(), Bytes({2, 0xD4, 4}));
}

TEST_F(KeyEncoderTest, PauseThatReachesTheEncoderSendsCarriageReturn) {
  NormalTerminal();
  Down(kShift);
  Tap(kPause);
  Up(kShift);
  EXPECT_EQ(Sent(), Bytes({13}));
}

TEST_F(KeyEncoderTest, AltDownClearsCtrlSoTheNextKeyTypesItsCharacter) {
  DeviceDisplay();
  Down(kCtrl);
  Down(kAlt);
  EXPECT_EQ(encoder.CtrlHeld(), 0);
  Down('Q', '@');  // AltGr+Q on a German layout
  EXPECT_EQ(Sent(), Bytes({2, 4, '@'}));

  port.writes.clear();
  NormalTerminal();
  Down(kCtrl);
  Down(kAlt);
  Down('Q', '@');
  EXPECT_EQ(Sent(), Bytes({'@'}));
}

TEST_F(KeyEncoderTest, CtrlReleaseLetsLettersTypeAgain) {
  NormalTerminal();
  Down(kCtrl);
  Up(kCtrl);
  Tap('C', 'c');
  EXPECT_EQ(Sent(), Bytes({'c'}));
}

TEST_F(KeyEncoderTest, AutoRepeatedShiftIsReportedEachTime) {
  DeviceDisplay();
  Down(kShift);
  Down(kShift);
  Down(kShift);
  Up(kShift);
  EXPECT_EQ(Sent(), Bytes({1, 1, 1, 3}));

  port.writes.clear();
  NormalTerminal();
  Down(kShift);
  Down(kShift);
  Up(kShift);
  EXPECT_TRUE(Sent().empty());
}

TEST_F(KeyEncoderTest, VirtualKeycodesReportRawKeysAndReleases) {
  settings.VKeys = 1;
  Tap('A', 'a');
  Tap(kShift);
  Tap(kBackspace, 8);
  EXPECT_EQ(Sent(), Bytes({0x41, 3, 0x41, 0x10, 3, 0x10, 0x08, 3, 0x08}));
}

TEST_F(KeyEncoderTest, VirtualKeycodesDoNotSetModifierFlags) {
  settings.VKeys = 1;
  Down(kShift);
  Down(kCtrl);
  EXPECT_EQ(encoder.ShiftHeld(), 0);
  EXPECT_EQ(encoder.CtrlHeld(), 0);

  // A release still clears a flag left over from the other mode.
  settings.VKeys = 0;
  Down(kCtrl);
  settings.VKeys = 1;
  Up(kCtrl);
  EXPECT_EQ(encoder.CtrlHeld(), 0);
}

TEST_F(KeyEncoderTest, VirtualKeycodesSkipKeysWithoutACode) {
  settings.VKeys = 1;
  Tap(0, 0xE4);
  EXPECT_TRUE(Sent().empty());
}

TEST_F(KeyEncoderTest, ClosedPortSendsNothingButFollowsModifiers) {
  DeviceDisplay();
  port.open = false;
  Down(kShift);
  Down(kCtrl);
  EXPECT_EQ(encoder.ShiftHeld(), 1);
  EXPECT_EQ(encoder.CtrlHeld(), 1);
  Down('A', 1);
  EXPECT_EQ(encoder.CharPass(), 1);
  Up('A');
  Up(kShift);
  EXPECT_EQ(encoder.ShiftHeld(), 0);
  settings.VKeys = 1;
  Tap('B');
  EXPECT_TRUE(port.writes.empty());

  // The flags kept while closed shape the first key after reopening.
  settings.VKeys = 0;
  port.open = true;
  Tap('A', 1);
  EXPECT_EQ(Sent(), Bytes({0x61}));
}

TEST_F(KeyEncoderTest, CharactersOutsideEightBitsAreDropped) {
  NormalTerminal();
  Down(0, 0x20AC);
  Down(0, -5);
  Down(0, 0xFF);
  EXPECT_EQ(Sent(), Bytes({0xFF}));
}

TEST_F(KeyEncoderTest, KeyBytesLeaveFromTheSharedOutBlock) {
  DeviceDisplay();
  Tap(kBackspace, 8);
  EXPECT_EQ(blocks.OutBlock[0], 200);
  settings.VKeys = 1;
  Up(0x5A);
  EXPECT_EQ(blocks.OutBlock[0], 3);
  EXPECT_EQ(blocks.OutBlock[1], 0x5A);
}

}  // namespace
}  // namespace kestrix
