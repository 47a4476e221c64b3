#include "core/Raster.h"

#include <algorithm>

namespace kestrix {

Raster::Raster(int width, int height, Colour fill)
    : width_(std::max(width, 0)), height_(std::max(height, 0)) {
  pixels_.assign(
      static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_),
      fill & kColourMask);
}

}  // namespace kestrix
