#pragma once

#include <string>

#include "terminal/Raster.h"

namespace kestrix {

// Where the finished screen image goes once per decoded chunk: the main
// window. Without one (command-line upload mode) nothing is drawn.
class Presenter {
 public:
  virtual ~Presenter() = default;
  virtual void PresentScreen(const Raster& image) = 0;
};

// Where the program's own lines go when there is no window.
class Console {
 public:
  virtual ~Console() = default;
  // Writes the text followed by one line feed.
  virtual void WriteLine(const std::string& text) = 0;
};

}  // namespace kestrix
