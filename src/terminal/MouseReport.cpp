#include "terminal/MouseReport.h"

#include <cmath>
#include <cstdint>

#include "core/Rounding.h"

namespace kestrix {

namespace {

// First byte of every mouse report.
constexpr std::uint8_t kMouseReportTag = 5;
constexpr int kButtonMask = MouseButtons::kLeft | MouseButtons::kRight;
constexpr int kYLowBit = 1 << 4;
constexpr int kXLowBit = 1 << 5;
constexpr int kReportSize = 4;

}  // namespace

ImagePoint ImagePosition(int innerX, int innerY, int innerWidth,
                         int innerHeight, float windowScale) {
  bool inside =
      innerX >= 0 && innerX < innerWidth && innerY >= 0 && innerY < innerHeight;
  if (!inside) {
    innerX = -1;
    innerY = -1;
  }
  double scale = windowScale > 0.0f && std::isfinite(windowScale)
                     ? static_cast<double>(windowScale)
                     : 1.0;
  return {RoundHalfToEven(innerX / scale), RoundHalfToEven(innerY / scale)};
}

void SendMouseReport(BytePort& port, SharedBlocks& blocks,
                     const MouseButtons& buttons, ImagePoint position) {
  if (!port.IsOpen()) return;
  int flags = buttons.Bits() & kButtonMask;
  if (position.y & 1) flags |= kYLowBit;
  if (position.x & 1) flags |= kXLowBit;
  auto& out = blocks.OutBlock;
  out[0] = kMouseReportTag;
  out[1] = static_cast<std::uint8_t>(flags);
  // Arithmetic shifts, so -1 (outside the window) arrives as 0xFF.
  out[2] = static_cast<std::uint8_t>((position.x >> 1) & 0xFF);
  out[3] = static_cast<std::uint8_t>((position.y >> 1) & 0xFF);
  WriteRaw(port, out.data(), kReportSize);
}

}  // namespace kestrix
