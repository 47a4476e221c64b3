#include "gui/RasterImage.h"

namespace kestrix {

void ConvertRow(const Colour* in, int width, uchar* out) {
  auto* rgb = reinterpret_cast<QRgb*>(out);
  for (int x = 0; x < width; ++x) {
    const Colour c = in[x];
    rgb[x] = qRgb(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                  static_cast<int>((c >> 16) & 0xFF));
  }
}

QImage RasterToQImage(const Raster& raster) {
  if (raster.empty()) return {};
  QImage image(raster.width(), raster.height(), QImage::Format_RGB32);
  for (int y = 0; y < raster.height(); ++y) {
    ConvertRow(raster.Row(y), raster.width(), image.scanLine(y));
  }
  return image;
}

}  // namespace kestrix
