#pragma once

#include "core/Raster.h"

namespace kestrix {

// The picture the Screenshot command puts on the clipboard: the screen image
// at its own size, with every colour channel c turned into 255 - c inside
// the rectangle from (0, 0) of width by height pixels when `invert` is set.
// The screen itself is never touched: the device reads its pixels back.
Raster ScreenshotImage(const Raster& screen, bool invert, int width,
                       int height);

}  // namespace kestrix
