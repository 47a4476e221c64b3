#pragma once

#include "settings/Settings.h"

namespace kestrix {

// The screen and window sizes actually built from the settings. The settings
// file carries no bounds and Settings keeps what was read (so a save writes it
// back unchanged); the program builds its screen image and window from this
// instead:
//   cols  clamped to 1..512 and rows to 1..256 (zero and negative give 1), so
//         the screen image is at most 4096 x 4352 pixels;
//   scale not finite or <= 0 gives 1.0; otherwise clamped to 0.25..8.0 and
//         then lowered, if needed, so that the window's client area stays
//         within 16384 x 16384 pixels (never below 3.7 at the largest grid);
//   client_width / client_height: the window's client area,
//         round(cols x 8 x scale) by round(rows x 17 x scale + 21) with halves
//         rounded to the even neighbour (21 pixels for the status strip).
struct ScreenGeometry {
  int cols;
  int rows;
  float scale;
  int clientWidth;
  int clientHeight;
};

inline constexpr int kMinCols = 1;
inline constexpr int kMaxCols = 512;
inline constexpr int kMinRows = 1;
inline constexpr int kMaxRows = 256;
inline constexpr float kMinScale = 0.25f;
inline constexpr float kMaxScale = 8.0f;
inline constexpr int kMaxClientSide = 16384;

ScreenGeometry EffectiveGeometry(const Settings& settings);

}  // namespace kestrix
