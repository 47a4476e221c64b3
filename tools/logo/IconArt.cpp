#include "IconArt.h"

#include <png.h>

#include <array>
#include <cmath>
#include <cstring>

#include "LogoArt.h"

namespace kestrix::tools {
namespace {

constexpr int kSamples = 8;
// The disc reaches one banner pixel past the ring; the icon's half width
// is one more, so the disc keeps a small margin at every size.
constexpr double kDiscRadius = kRingOuter + 1.0;
constexpr double kHalfWidth = kDiscRadius + 1.0;
constexpr PaletteEntry kDisc{0x16, 0x1B, 0x24};

// Colour of one sample in the banner's coordinates, or nothing (alpha 0).
bool SampleAt(double x, double y, PaletteEntry* colour) {
  const double r = std::hypot(x - kMarkX, y - kMarkY);
  if (r > kDiscRadius) return false;
  *colour = kDisc;
  if (r <= kHubHoleRadius) return true;
  bool blade = r <= kHubRadius;
  for (int i = 0; i < kBlades && !blade; ++i) {
    blade = InBlade(x, y, BladeAngle(i));
  }
  if (blade) {
    *colour = kAmber;
  } else if (r <= kRingOuter && r >= kRingInner) {
    *colour = kRust;
  }
  return true;
}

}  // namespace

RgbaImage DrawIcon(int size) {
  RgbaImage image;
  image.size = size;
  image.pixels.resize(static_cast<std::size_t>(size) * size * 4);
  const double unit = 2 * kHalfWidth / size;  // banner pixels per icon pixel
  for (int py = 0; py < size; ++py) {
    for (int px = 0; px < size; ++px) {
      std::array<int, 3> sum{};  // premultiplied by coverage
      int covered = 0;
      for (int sy = 0; sy < kSamples; ++sy) {
        for (int sx = 0; sx < kSamples; ++sx) {
          const double x =
              kMarkX - kHalfWidth + (px + (sx + 0.5) / kSamples) * unit;
          const double y =
              kMarkY - kHalfWidth + (py + (sy + 0.5) / kSamples) * unit;
          PaletteEntry colour;
          if (!SampleAt(x, y, &colour)) continue;
          sum[0] += colour.red;
          sum[1] += colour.green;
          sum[2] += colour.blue;
          ++covered;
        }
      }
      std::uint8_t* out =
          &image.pixels[(static_cast<std::size_t>(py) * size + px) * 4];
      for (int c = 0; c < 3; ++c) {
        out[c] = static_cast<std::uint8_t>(
            covered == 0 ? 0 : (sum[c] + covered / 2) / covered);
      }
      constexpr int kAll = kSamples * kSamples;
      out[3] = static_cast<std::uint8_t>((covered * 255 + kAll / 2) / kAll);
    }
  }
  return image;
}

bool WriteRgbaPng(const RgbaImage& image, const std::string& path,
                  std::string* error) {
  png_image png;
  std::memset(&png, 0, sizeof png);
  png.version = PNG_IMAGE_VERSION;
  png.width = static_cast<png_uint_32>(image.size);
  png.height = static_cast<png_uint_32>(image.size);
  png.format = PNG_FORMAT_RGBA;
  if (!png_image_write_to_file(&png, path.c_str(), 0, image.pixels.data(), 0,
                               nullptr)) {
    *error = path + ": " + png.message;
    return false;
  }
  return true;
}

}  // namespace kestrix::tools
