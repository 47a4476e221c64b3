#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kestrix::tools {

// A square picture with straight (not premultiplied) alpha, 4 bytes a pixel:
// red, green, blue, alpha.
struct RgbaImage {
  int size = 0;
  std::vector<std::uint8_t> pixels;
};

// The desktop icon: the banner's propeller mark on a dark disc, transparent
// around it, sampled 8 by 8 times per pixel for smooth edges at any size.
RgbaImage DrawIcon(int size);

// Returns false and sets *error when the file cannot be written.
bool WriteRgbaPng(const RgbaImage& image, const std::string& path,
                  std::string* error);

}  // namespace kestrix::tools
