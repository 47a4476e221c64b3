#include "terminal/KeyEncoder.h"

#include <cstdint>

#include "terminal/VirtualKeys.h"

namespace kestrix {

namespace {

// Bytes the device's keyboard driver expects.
constexpr int kShiftDown = 1;
constexpr int kCtrlDown = 2;
constexpr int kShiftUp = 3;
// Alt down and Ctrl up share one code on the wire.
constexpr int kAltDownOrCtrlUp = 4;
// Codes below this are modifier reports, kept from a normal terminal.
constexpr int kFirstKeyCode = 5;
// A key release in Virtual Keycodes mode is this byte, then the key.
constexpr int kReleasePrefix = 3;
constexpr int kFunctionKeyOffset = 0x60;
constexpr int kLowerCaseOffset = 0x20;
constexpr int kBackspaceChar = 8;
constexpr int kEscapeChar = 27;
// In device display mode Backspace and Escape would collide with the
// device's own control codes, so they travel as key codes.
constexpr int kBackspaceKeyCode = 200;
constexpr int kEscapeKeyCode = 203;

// The byte of a navigation or modifier key, or 0 when k is none of them.
int SpecialKeyCode(int k) {
  switch (k) {
    case kVkLeft:
      return 0xC0;
    case kVkRight:
      return 0xC1;
    case kVkUp:
      return 0xC2;
    case kVkDown:
      return 0xC3;
    case kVkHome:
      return 0xC4;
    case kVkEnd:
      return 0xC5;
    case kVkPageUp:
      return 0xC6;
    case kVkPageDown:
      return 0xC7;
    case kVkDelete:
      return 0xC9;
    case kVkInsert:
      return 0xCA;
    case kVkTab:
      return 0x09;
    case kVkPause:
      return 0x0D;
    case kVkShift:
      return kShiftDown;
    case kVkControl:
      return kCtrlDown;
    case kVkAlt:
      return kAltDownOrCtrlUp;
    default:
      return 0;
  }
}

}  // namespace

KeyEncoder::KeyEncoder(BytePort& port, SharedBlocks& blocks)
    : port_(port), blocks_(blocks) {}

void KeyEncoder::SendByte(int code) {
  blocks_.OutBlock[0] = static_cast<std::uint8_t>(code & 0xFF);
  WriteRaw(port_, blocks_.OutBlock.data(), 1);
}

void KeyEncoder::OnKeyDown(int k, KeyModes modes) {
  if (modes.VKeys) {
    if (k == 0 || !port_.IsOpen()) return;
    SendByte(k);
    charPass_ = 0;
    return;
  }

  int code = SpecialKeyCode(k);
  if (code != 0) {
    if (k == kVkShift) shiftHeld_ = 1;
    if (k == kVkControl) ctrlHeld_ = 1;
    if (k == kVkAlt) ctrlHeld_ = 0;
  } else if (ctrlHeld_ == 1) {
    code = k;
    if (k >= kVkA && k <= kVkZ && shiftHeld_ == 0) code = k + kLowerCaseOffset;
  }
  if (k >= kVkF1 && k <= kVkF12) code = k + kFunctionKeyOffset;
  if (code < kFirstKeyCode && modes.NormalTerminalFlag) code = 0;

  if (code > 0 && port_.IsOpen()) {
    SendByte(code);
    charPass_ = 0;
  } else {
    charPass_ = 1;
  }
}

void KeyEncoder::OnKeyUp(int k, KeyModes modes) {
  int code = 0;
  if (k == kVkShift) {
    code = kShiftUp;
    shiftHeld_ = 0;
  } else if (k == kVkControl) {
    code = kAltDownOrCtrlUp;
    ctrlHeld_ = 0;
  }

  if (modes.VKeys) {
    if (k == 0 || !port_.IsOpen()) return;
    blocks_.OutBlock[0] = kReleasePrefix;
    blocks_.OutBlock[1] = static_cast<std::uint8_t>(k & 0xFF);
    WriteRaw(port_, blocks_.OutBlock.data(), 2);
    return;
  }
  if (code < kFirstKeyCode && modes.NormalTerminalFlag) code = 0;
  if (code > 0 && port_.IsOpen()) SendByte(code);
}

void KeyEncoder::OnCharacter(int c, KeyModes modes) {
  if (c < 0 || c > 0xFF) return;
  // Ctrl+A to Ctrl+D reach a normal terminal as control codes, although
  // their key-down already sent the letter.
  if (c >= 1 && c <= 4 && ctrlHeld_ == 1 && modes.NormalTerminalFlag) {
    charPass_ = 1;
  }
  if (charPass_ == 0) return;
  if (!modes.NormalTerminalFlag) {
    if (c == kBackspaceChar) c = kBackspaceKeyCode;
    if (c == kEscapeChar) c = kEscapeKeyCode;
  }
  if (port_.IsOpen()) SendByte(c);
}

}  // namespace kestrix
