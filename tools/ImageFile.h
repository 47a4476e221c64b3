#pragma once

#include <string>

#include "core/Raster.h"

namespace kestrix::tools {

// Writes the raster as binary PPM (P6) when the name ends in ".ppm", as an
// 8-bit RGB PNG otherwise. Returns false when the file cannot be written.
bool WriteImageFile(const Raster& image, const std::string& path);

}  // namespace kestrix::tools
