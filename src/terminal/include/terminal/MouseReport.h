#pragma once

#include "core/BytePort.h"
#include "core/SharedBlocks.h"

namespace kestrix {

// The button bits of the mouse report: bit 0 left, bit 1 right.
//
// How the window drives it: a left press on the screen area calls PressLeft,
// a right press in the inner area PressRight, and the release of either
// button Release; each is followed by SendMouseReport. A double-click arrives
// as its own event instead of a second press: it calls nothing and sends no
// report, and its release goes through Release as usual.
class MouseButtons {
 public:
  static constexpr int kLeft = 1 << 0;
  static constexpr int kRight = 1 << 1;

  void PressLeft() { bits_ |= kLeft; }
  void PressRight() { bits_ |= kRight; }
  // Any release forgets every button, even one still held.
  void Release() { bits_ = 0; }
  int Bits() const { return bits_; }

 private:
  int bits_ = 0;
};

// A mouse position in pixels of the unscaled screen image.
struct ImagePoint {
  int x = 0;
  int y = 0;
  bool operator==(const ImagePoint&) const = default;
};

// Maps the cursor's position in the window's inner area (innerWidth by
// innerHeight pixels) to image pixels: each coordinate is divided by the
// window scale and rounded. Outside the inner area both coordinates count as
// -1 before the division. A scale that is not a positive number is taken
// as 1, since the window shows the image unscaled then.
ImagePoint ImagePosition(int innerX, int innerY, int innerWidth,
                         int innerHeight, float windowScale);

// Writes the 4-byte mouse report from the shared out block, only while the
// port is open. Each coordinate travels as 9 bits: its low bit in byte 1, the
// rest in its own byte, so 0 to 511 arrive whole.
void SendMouseReport(BytePort& port, SharedBlocks& blocks,
                     const MouseButtons& buttons, ImagePoint position);

}  // namespace kestrix
