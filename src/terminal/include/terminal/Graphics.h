#pragma once

#include <cstdint>

#include "core/Raster.h"
#include "terminal/TerminalScreen.h"

namespace kestrix {

struct Point {
  int x = 0;
  int y = 0;
  bool operator==(const Point&) const = default;
};

// State the graphics commands keep between commands and chunks.
struct GraphicsState {
  // Pen position: first corner or origin of most operations.
  Point LastPoint;
};

// The command byte of an escape sequence 5, K, X8, Y8.
struct GraphicsCommand {
  std::uint8_t K = 0;
  std::uint8_t X8 = 0;
  std::uint8_t Y8 = 0;

  // Bit 7 (service flag) and the operation number; bits 4-6 do not choose.
  int Code() const { return K & 0x8F; }
  // 9-bit coordinates: bit 5 of K is x's lowest bit, bit 4 y's.
  int X() const { return X8 * 2 + ((K >> 5) & 1); }
  int Y() const { return Y8 * 2 + ((K >> 4) & 1); }
};

// Service command codes, answered by the device-request side.
inline constexpr int kImmediateRequest = 0x81;
inline constexpr int kLetteredRequest = 0x82;

// Carries out one drawing command (codes 0 to 15) on the screen in the
// drawing colour; other codes do nothing here. Returns the byte a pixel query
// answers (sent by the event loop after the chunk), 0 for other commands.
int RunGraphicsCommand(TerminalScreen& screen, Colour drawingColour,
                       GraphicsState& state, const GraphicsCommand& cmd);

}  // namespace kestrix
