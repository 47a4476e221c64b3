#include "app/Screenshot.h"

#include <algorithm>

namespace kestrix {

Raster ScreenshotImage(const Raster& screen, bool invert, int width,
                       int height) {
  Raster copy = screen;
  if (!invert) return copy;
  const int w = std::clamp(width, 0, copy.width());
  const int h = std::clamp(height, 0, copy.height());
  for (int y = 0; y < h; ++y) {
    Colour* row = copy.Row(y);
    for (int x = 0; x < w; ++x) row[x] = (~row[x]) & kColourMask;
  }
  return copy;
}

}  // namespace kestrix
