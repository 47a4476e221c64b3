#pragma once

#include <cstddef>
#include <vector>

#include "core/Colour.h"

namespace kestrix {

// An image of colour references, row-major, top-left origin.
class Raster {
 public:
  Raster() = default;
  Raster(int width, int height, Colour fill = kBlack);

  int width() const { return width_; }
  int height() const { return height_; }
  bool empty() const { return width_ <= 0 || height_ <= 0; }
  bool Contains(int x, int y) const {
    return x >= 0 && y >= 0 && x < width_ && y < height_;
  }

  // Unchecked access; callers clip first.
  Colour At(int x, int y) const { return pixels_[Index(x, y)]; }
  Colour& At(int x, int y) { return pixels_[Index(x, y)]; }
  Colour* Row(int y) { return pixels_.data() + Index(0, y); }
  const Colour* Row(int y) const { return pixels_.data() + Index(0, y); }

  const std::vector<Colour>& pixels() const { return pixels_; }
  std::vector<Colour>& pixels() { return pixels_; }

  bool operator==(const Raster&) const = default;

 private:
  std::size_t Index(int x, int y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
           static_cast<std::size_t>(x);
  }

  int width_ = 0;
  int height_ = 0;
  std::vector<Colour> pixels_;
};

}  // namespace kestrix
