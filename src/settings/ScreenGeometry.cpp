#include "settings/ScreenGeometry.h"

#include <algorithm>
#include <cmath>

#include "core/Rounding.h"

namespace kestrix {
namespace {

constexpr int kCellWidth = 8;
constexpr int kCellHeight = 17;
// The strip below the character grid that belongs to the client area.
constexpr double kStripHeight = 21.0;

}  // namespace

ScreenGeometry EffectiveGeometry(const Settings& settings) {
  ScreenGeometry geometry{};
  geometry.cols = std::clamp(settings.Cols, kMinCols, kMaxCols);
  geometry.rows = std::clamp(settings.Rows, kMinRows, kMaxRows);

  float scale = settings.WindowScale;
  if (!std::isfinite(scale) || scale <= 0.0f) scale = 1.0f;
  scale = std::clamp(scale, kMinScale, kMaxScale);
  const double widthLimit =
      static_cast<double>(kMaxClientSide) / (geometry.cols * kCellWidth);
  const double heightLimit =
      (kMaxClientSide - kStripHeight) / (geometry.rows * kCellHeight);
  const auto limit = static_cast<float>(std::min(widthLimit, heightLimit));
  geometry.scale = std::min(scale, limit);

  geometry.clientWidth =
      RoundHalfToEven(geometry.cols * kCellWidth * double{geometry.scale});
  geometry.clientHeight = RoundHalfToEven(
      geometry.rows * kCellHeight * double{geometry.scale} + kStripHeight);
  return geometry;
}

}  // namespace kestrix
