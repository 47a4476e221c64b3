#include "gui/RasterImage.h"

namespace kestrix {

QImage RasterToQImage(const Raster& raster) {
  if (raster.empty()) return {};
  QImage image(raster.width(), raster.height(), QImage::Format_RGB32);
  for (int y = 0; y < raster.height(); ++y) {
    const Colour* in = raster.Row(y);
    auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < raster.width(); ++x) {
      const Colour c = in[x];
      out[x] =
          qRgb(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
               static_cast<int>((c >> 16) & 0xFF));
    }
  }
  return image;
}

}  // namespace kestrix
