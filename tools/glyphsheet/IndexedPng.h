#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kestrix::tools {

struct PaletteEntry {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
};

// An 8-bit indexed image: one palette index per pixel, row-major.
struct IndexedImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;
  std::vector<PaletteEntry> palette;
};

// Writes the image as a PNG of colour type 3, bit depth 8, with exactly the
// given palette (no transparency chunk). Returns false and sets *error on
// failure.
bool WriteIndexedPng(const IndexedImage& image, const std::string& path,
                     std::string* error);

}  // namespace kestrix::tools
