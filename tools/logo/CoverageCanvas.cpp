#include "CoverageCanvas.h"

#include <algorithm>
#include <cmath>

namespace kestrix::tools {
namespace {

// Brightness steps per layer: 1 + 6 layers x 16 steps stays far below the
// 256 entries an 8-bit palette holds.
constexpr int kSteps = 16;

std::uint8_t Scale(std::uint8_t channel, int step) {
  return static_cast<std::uint8_t>((channel * step + kSteps / 2) / kSteps);
}

}  // namespace

CoverageCanvas::CoverageCanvas(int width, int height, int samplesPerAxis)
    : width_(width),
      height_(height),
      samples_(samplesPerAxis),
      layerOfSample_(static_cast<std::size_t>(width * samplesPerAxis) *
                         static_cast<std::size_t>(height * samplesPerAxis),
                     0) {}

int CoverageCanvas::AddLayer(PaletteEntry colour) {
  colours_.push_back(colour);
  return static_cast<int>(colours_.size());
}

void CoverageCanvas::SetSamples(
    int layer, const std::function<bool(double, double)>& inside, double left,
    double top, double right, double bottom) {
  const int sw = width_ * samples_;
  const int sh = height_ * samples_;
  const int x0 = std::max(0, static_cast<int>(std::floor(left * samples_)));
  const int y0 = std::max(0, static_cast<int>(std::floor(top * samples_)));
  const int x1 = std::min(sw, static_cast<int>(std::ceil(right * samples_)));
  const int y1 = std::min(sh, static_cast<int>(std::ceil(bottom * samples_)));
  for (int sy = y0; sy < y1; ++sy) {
    for (int sx = x0; sx < x1; ++sx) {
      const double x = (sx + 0.5) / samples_;
      const double y = (sy + 0.5) / samples_;
      if (inside(x, y)) {
        layerOfSample_[static_cast<std::size_t>(sy) * sw +
                       static_cast<std::size_t>(sx)] =
            static_cast<std::uint8_t>(layer);
      }
    }
  }
}

void CoverageCanvas::PaintShape(
    int layer, const std::function<bool(double, double)>& inside, double left,
    double top, double right, double bottom) {
  SetSamples(layer, inside, left, top, right, bottom);
}

void CoverageCanvas::ClearShape(
    const std::function<bool(double, double)>& inside, double left, double top,
    double right, double bottom) {
  SetSamples(0, inside, left, top, right, bottom);
}

int CoverageCanvas::DrawText(int layer, const UnifontHex& font,
                             const char* text, int left, int top, int scale,
                             bool measureOnly) {
  int x = left;
  for (const char* p = text; *p != '\0'; ++p) {
    const NarrowGlyph* glyph = font.Find(static_cast<unsigned char>(*p));
    if (glyph == nullptr) continue;
    int first = 8;
    int last = -1;
    for (std::uint8_t row : *glyph) {
      for (int bit = 0; bit < 8; ++bit) {
        if ((row >> (7 - bit)) & 1) {
          first = std::min(first, bit);
          last = std::max(last, bit);
        }
      }
    }
    if (last < 0) {  // a space
      x += 4 * scale;
      continue;
    }
    if (!measureOnly) {
      for (int r = 0; r < 16; ++r) {
        for (int bit = first; bit <= last; ++bit) {
          if (!(((*glyph)[static_cast<std::size_t>(r)] >> (7 - bit)) & 1)) {
            continue;
          }
          const double px = x + (bit - first) * scale;
          const double py = top + r * scale;
          PaintShape(
              layer, [](double, double) { return true; }, px, py, px + scale,
              py + scale);
        }
      }
    }
    x += (last - first + 2) * scale;
  }
  return x - left - scale;  // no gap after the last glyph
}

IndexedImage CoverageCanvas::Resolve() const {
  IndexedImage image;
  image.width = width_;
  image.height = height_;
  image.palette.push_back({0, 0, 0});
  for (const PaletteEntry& colour : colours_) {
    for (int step = 1; step <= kSteps; ++step) {
      image.palette.push_back({Scale(colour.red, step),
                               Scale(colour.green, step),
                               Scale(colour.blue, step)});
    }
  }
  const int sw = width_ * samples_;
  const int perPixel = samples_ * samples_;
  std::vector<int> counts(colours_.size() + 1);
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      std::fill(counts.begin(), counts.end(), 0);
      for (int sy = 0; sy < samples_; ++sy) {
        for (int sx = 0; sx < samples_; ++sx) {
          ++counts[layerOfSample_[static_cast<std::size_t>(y * samples_ + sy) *
                                      sw +
                                  static_cast<std::size_t>(x * samples_ + sx)]];
        }
      }
      std::size_t best = 0;
      for (std::size_t layer = 1; layer < counts.size(); ++layer) {
        if (best == 0 || counts[layer] > counts[best]) best = layer;
      }
      const int covered = perPixel - counts[0];
      const int step = (covered * kSteps + perPixel / 2) / perPixel;
      image.pixels.push_back(
          step == 0
              ? 0
              : static_cast<std::uint8_t>(1 + (best - 1) * kSteps +
                                          static_cast<std::size_t>(step - 1)));
    }
  }
  return image;
}

}  // namespace kestrix::tools
