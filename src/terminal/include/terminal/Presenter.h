#pragma once

#include "core/Raster.h"

namespace kestrix {

// Where the finished screen image goes once per decoded chunk: the main
// window. Without one (command-line upload mode) nothing is drawn.
class Presenter {
 public:
  virtual ~Presenter() = default;
  virtual void PresentScreen(const Raster& image) = 0;
};

}  // namespace kestrix
