#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "IndexedPng.h"
#include "UnifontHex.h"

namespace kestrix::tools {

// A picture of a few flat-coloured layers on black, sampled several times per
// pixel so that curved edges come out smooth while the palette stays small:
// each pixel shows the layer that covers most of it, at one of a few
// brightness steps.
class CoverageCanvas {
 public:
  CoverageCanvas(int width, int height, int samplesPerAxis);

  // Adds a layer colour; returns its number for the Paint calls.
  int AddLayer(PaletteEntry colour);

  // Paints every sample whose centre (in pixel units) satisfies inside(x, y).
  void PaintShape(int layer, const std::function<bool(double, double)>& inside,
                  double left, double top, double right, double bottom);
  // Paints a sample as paper (black) again, for holes cut into shapes.
  void ClearShape(const std::function<bool(double, double)>& inside,
                  double left, double top, double right, double bottom);

  // Draws text with Unifont glyphs, each font pixel scale by scale pixels,
  // glyphs spaced by their ink width plus one font pixel. Returns the width
  // in pixels the text takes (also when measure_only is set).
  int DrawText(int layer, const UnifontHex& font, const char* text, int left,
               int top, int scale, bool measureOnly = false);

  IndexedImage Resolve() const;

 private:
  void SetSamples(int layer, const std::function<bool(double, double)>& inside,
                  double left, double top, double right, double bottom);

  int width_;
  int height_;
  int samples_;
  std::vector<PaletteEntry> colours_;
  std::vector<std::uint8_t> layerOfSample_;  // 0 = black paper
};

}  // namespace kestrix::tools
