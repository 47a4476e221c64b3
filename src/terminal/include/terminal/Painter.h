#pragma once

#include "core/Raster.h"

namespace kestrix {

enum class DrawMode {
  kCopy,    // shapes set the front colour, images are copied unchanged
  kInvert,  // shapes complement pixels, images give NOT(source OR dest)
};

// A drawing context on one raster: a front colour and a mode. Everything
// clips silently at the raster's edges; no call reads or writes outside it,
// whatever the coordinates.
class Painter {
 public:
  explicit Painter(Raster& target) : target_(target) {}

  Raster& target() { return target_; }
  Colour colour() const { return colour_; }
  DrawMode mode() const { return mode_; }
  void SetColour(Colour c) { colour_ = c & kColourMask; }
  void SetMode(DrawMode m) { mode_ = m; }

  // Pixels x in [left, left + width), y in [top, top + height). A width or
  // height of 0 or less covers nothing.
  void FillBox(int left, int top, int width, int height);
  void Plot(int x, int y);
  // Both end points included; every pixel is touched exactly once, so an
  // inverted line is undone by drawing it again.
  void Line(int x0, int y0, int x1, int y1);
  // Filled ellipse inscribed in the box [left, right) x [top, bottom): the
  // right and bottom edges are excluded. An empty box covers nothing.
  void FillEllipse(int left, int top, int right, int bottom);
  // Fills the 4-connected area that has the colour of (x, y) with the front
  // colour. Iterative; does nothing when the seed lies outside or the area
  // already has the front colour. Ignores the mode (always sets the colour).
  void FloodFill(int x, int y);
  // Draws the w by h rectangle of src at (sx, sy) onto the target at
  // (dx, dy): copied in copy mode, NOT(source OR dest) in invert mode.
  // Source pixels outside src read as black.
  void Blit(const Raster& src, int sx, int sy, int w, int h, int dx, int dy);

 private:
  Raster& target_;
  Colour colour_ = kBlack;
  DrawMode mode_ = DrawMode::kCopy;
};

}  // namespace kestrix
