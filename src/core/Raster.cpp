#include "core/Raster.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace kestrix {

PixelStore::PixelStore(std::size_t count) : size_(count) {
  if (count == 0) return;
  data_ = static_cast<Colour*>(std::calloc(count, sizeof(Colour)));
  if (data_ == nullptr) throw std::bad_alloc();
}

PixelStore::PixelStore(const PixelStore& other) : size_(other.size_) {
  if (size_ == 0) return;
  data_ = static_cast<Colour*>(std::malloc(size_ * sizeof(Colour)));
  if (data_ == nullptr) throw std::bad_alloc();
  std::memcpy(data_, other.data_, size_ * sizeof(Colour));
}

Raster::Raster(int width, int height, Colour fill)
    : width_(std::max(width, 0)), height_(std::max(height, 0)) {
  const std::size_t count =
      static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_);
  pixels_ = PixelStore(count);
  if ((fill & kColourMask) != kBlack) {
    std::fill(pixels_.data(), pixels_.data() + count, fill & kColourMask);
  }
  changed_ = {0, height_ - 1};
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
