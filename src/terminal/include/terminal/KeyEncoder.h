#pragma once

#include "core/BytePort.h"
#include "core/SharedBlocks.h"

namespace kestrix {

// The two menu switches that shape the encoding.
struct KeyModes {
  bool VKeys = false;              // report raw virtual key codes
  bool NormalTerminalFlag = true;  // modifiers send nothing in a normal terminal
};

// Turns the window's key-down, key-up and character events into the bytes the
// device reads as its keyboard. Virtual key codes are Windows values; the
// character is the 8-bit code the keyboard layout derives from the key-down
// just before it. Every byte goes out from the shared out block, because the
// device-side decoder may later re-read the block's last byte.
//
// Nothing is sent on a closed port; the modifier flags follow the keys anyway.
class KeyEncoder {
 public:
  KeyEncoder(BytePort& port, SharedBlocks& blocks);

  // A key press, auto-repeats included. In Virtual Keycodes mode a key without
  // a code (0, a key the window could not name) is not reported.
  void OnKeyDown(int virtualKey, KeyModes modes);
  void OnKeyUp(int virtualKey, KeyModes modes);
  // The character derived from the last key-down. Only 0 to 255 exist on the
  // wire; anything else is ignored.
  void OnCharacter(int character, KeyModes modes);

  int ShiftHeld() const { return shiftHeld_; }
  int CtrlHeld() const { return ctrlHeld_; }
  // 1 when the last key-down sent nothing, so its character goes out instead.
  int CharPass() const { return charPass_; }

 private:
  void SendByte(int code);

  BytePort& port_;
  SharedBlocks& blocks_;
  int shiftHeld_ = 0;
  int ctrlHeld_ = 0;
  int charPass_ = 0;
};

}  // namespace kestrix
