#include "core/Raster.h"

#include <algorithm>
#include <cstring>

namespace kestrix {

Raster::Raster(int width, int height, Colour fill)
    : width_(std::max(width, 0)), height_(std::max(height, 0)) {
  pixels_.assign(
      static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_),
      fill & kColourMask);
  changed_ = {0, height_ - 1};
}

std::vector<Colour>& Raster::pixels() {
  if (top_ != 0) {
    std::rotate(pixels_.begin(),
                pixels_.begin() + static_cast<std::ptrdiff_t>(top_ * Stride()),
                pixels_.end());
    top_ = 0;
  }
  changed_ = {0, height_ - 1};
  return pixels_;
}

void Raster::TurnUp(int rows) {
  if (height_ <= 0) return;
  const int turn = ((rows % height_) + height_) % height_;
  top_ = StorageRow(turn);
}

RowSpan Raster::TakeChangedRows() const {
  const RowSpan span = changed_;
  changed_ = RowSpan{1 << 30, -1};
  return span;
}

bool Raster::operator==(const Raster& other) const {
  if (width_ != other.width_ || height_ != other.height_) return false;
  const std::size_t bytes = Stride() * sizeof(Colour);
  for (int y = 0; y < height_; ++y) {
    if (bytes != 0 && std::memcmp(Row(y), other.Row(y), bytes) != 0) {
      return false;
    }
  }
  return true;
}

}  // namespace kestrix
