#pragma once

#include <cstddef>
#include <cstdlib>
#include <span>
#include <utility>

#include "core/Colour.h"

namespace kestrix {

// Rows of storage, first to last; empty when First > Last.
struct RowSpan {
  int first = 0;
  int last = -1;
  bool Empty() const { return first > last; }
};

// A picture's pixels, zero (black) when made: they come from calloc, so the
// system's fresh pages stay untouched until something is drawn there, which
// matters for the largest grid (512 x 256 cells, 71 MB). Copies are copies.
class PixelStore {
 public:
  PixelStore() = default;
  explicit PixelStore(std::size_t count);
  PixelStore(const PixelStore& other);
  PixelStore(PixelStore&& other) noexcept { Swap(other); }
  PixelStore& operator=(PixelStore other) noexcept {
    Swap(other);
    return *this;
  }
  ~PixelStore() { std::free(data_); }

  Colour* data() { return data_; }
  const Colour* data() const { return data_; }
  std::size_t size() const { return size_; }
  Colour& operator[](std::size_t i) { return data_[i]; }
  Colour operator[](std::size_t i) const { return data_[i]; }

 private:
  void Swap(PixelStore& other) noexcept {
    std::swap(data_, other.data_);
    std::swap(size_, other.size_);
  }
  Colour* data_ = nullptr;
  std::size_t size_ = 0;
};

// `count` rows from one row down, a pointer step per row: the ring wraps at
// most once, back to the first storage row.
class RowWalk {
 public:
  RowWalk(Colour* row, Colour* first, Colour* end, std::size_t stride)
      : row_(row), first_(first), end_(end), stride_(stride) {}
  Colour* operator*() const { return row_; }
  std::size_t stride() const { return stride_; }
  // Whether the next `count` rows lie one stride apart, with no wrap.
  bool Straight(int count) const {
    return count <= 0 || static_cast<std::size_t>(end_ - row_) >
                             static_cast<std::size_t>(count - 1) * stride_;
  }
  void Next() {
    row_ += stride_;
    if (row_ == end_) row_ = first_;
  }

 private:
  Colour* row_;
  Colour* first_;
  Colour* end_;
  std::size_t stride_;
};

// An image of colour references, top-left origin. The rows are kept as a
// ring: turning the picture up by whole rows moves a start offset instead of
// the pixels, so a scrolling terminal costs what it clears, not what it
// keeps. Rows written through the mutable accessors are remembered (in
// storage order) until a viewer takes them, so a display can convert only
// what changed.
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
  Colour& At(int x, int y) {
    const std::size_t row = StorageRow(y);
    Touch(row);
    return pixels_[row * Stride() + static_cast<std::size_t>(x)];
  }
  Colour* Row(int y) {
    const std::size_t row = StorageRow(y);
    Touch(row);
    return pixels_.data() + row * Stride();
  }
  const Colour* Row(int y) const {
    return pixels_.data() + StorageRow(y) * Stride();
  }
  // Rows y .. y + count - 1 (all inside), counted as changed once rather
  // than row by row: the form for drawing a cell.
  RowWalk Rows(int y, int count) {
    Colour* base = pixels_.data();
    return {base + TouchRows(y, y + count - 1) * Stride(), base,
            base + pixels_.size(), Stride()};
  }

  // The pixels in storage order: row y is storage row (y + RingTop()) mod
  // height. The mutable form is for a walk that crosses rows and counts rows
  // firstY .. lastY (inside) as changed.
  std::span<const Colour> pixels() const {
    return {pixels_.data(), pixels_.size()};
  }
  std::span<Colour> pixels(int firstY, int lastY) {
    TouchRows(firstY, lastY);
    return {pixels_.data(), pixels_.size()};
  }
  int RingTop() const { return static_cast<int>(top_); }

  // Turns the picture up by `rows` (taken modulo the height): row `rows`
  // becomes row 0 and the old top rows come round at the bottom. No pixel
  // moves.
  void TurnUp(int rows);

  // The storage rows written since the last call, forgotten by this call.
  // Bookkeeping for the one viewer of the image, not part of the picture.
  RowSpan TakeChangedRows() const;

  // Same size and the same colour at every position.
  bool operator==(const Raster& other) const;

 private:
  std::size_t Stride() const { return static_cast<std::size_t>(width_); }
  std::size_t StorageRow(int y) const {
    std::size_t row = static_cast<std::size_t>(y) + top_;
    const auto height = static_cast<std::size_t>(height_);
    return row >= height ? row - height : row;
  }
  std::size_t Index(int x, int y) const {
    return StorageRow(y) * Stride() + static_cast<std::size_t>(x);
  }
  // Counts rows firstY .. lastY as changed; returns firstY's storage row.
  std::size_t TouchRows(int firstY, int lastY) {
    const std::size_t first = StorageRow(firstY);
    const std::size_t last = StorageRow(lastY);
    Touch(first);
    Touch(last);
    if (last < first) {  // wrapped round the ring's end
      Touch(0);
      Touch(static_cast<std::size_t>(height_ - 1));
    }
    return first;
  }
  void Touch(std::size_t row) {
    const int r = static_cast<int>(row);
    if (r < changed_.first) changed_.first = r;
    if (r > changed_.last) changed_.last = r;
  }

  int width_ = 0;
  int height_ = 0;
  std::size_t top_ = 0;
  PixelStore pixels_;
  // Nothing changed: First beyond any row.
  mutable RowSpan changed_{1 << 30, -1};
};

}  // namespace kestrix
