#pragma once

#include <QImage>

#include "core/Raster.h"

namespace kestrix {

// The screen image as Qt paints it. Rasters hold Windows colour references
// (0x00BBGGRR, red lowest); Qt's RGB32 wants 0xFFRRGGBB, so red and blue trade
// places on the way.
QImage RasterToQImage(const Raster& raster);

// One row of `width` pixels the same way, into an RGB32 scan line.
void ConvertRow(const Colour* in, int width, uchar* out);

}  // namespace kestrix
