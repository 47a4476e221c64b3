#include <gtest/gtest.h>

#include <limits>

#include "settings/ScreenGeometry.h"
#include "settings/Settings.h"

namespace kestrix {
namespace {

TEST(ScreenGeometryTest, GridScaleAndClientAreaAreBounded) {
  constexpr int kMax = std::numeric_limits<int>::max();
  constexpr float kInf = std::numeric_limits<float>::infinity();
  constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
  const struct {
    const char* name;
    int cols, rows;
    float scale;
    int wantCols, wantRows;
    float wantScale;
    int width, height;  // -1: not checked
  } cases[] = {
      // clang-format off
      {"start size", 80, 25, 1.0f, 80, 25, 1.0f, 640, 25 * 17 + 21},
      // Halves round to even: 658.5 down, 97.5 up, 2.5 down.
      {"half down", 80, 25, 1.5f, 80, 25, 1.5f, 960, 658},
      {"half up", 1, 3, 1.5f, 1, 3, 1.5f, 12, 98},
      {"half down to 2", 1, 1, 0.3125f, 1, 1, 0.3125f, 2, -1},
      {"grid too small", 0, -1, 1.0f, 1, 1, 1.0f, -1, -1},
      {"grid too large", 513, kMax, 1.0f, 512, 256, 1.0f, -1, -1},
      {"minus infinity", 80, 25, -kInf, 80, 25, 1.0f, -1, -1},
      {"not a number", 80, 25, kNaN, 80, 25, 1.0f, -1, -1},
      {"scale too small", 80, 25, 0.1f, 80, 25, 0.25f, -1, -1},
      {"scale too large", 80, 25, 100.0f, 80, 25, 8.0f, -1, -1},
      {"largest scale", 200, 60, 8.0f, 200, 60, 8.0f, 12800, -1},
      // The window's height stops at 16384 pixels; the scale gives way.
      {"huge grid lowers the scale", kMax, kMax, 8.0f, 512, 256, 3.75988054f, 15400, 16384},
      // clang-format on
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Settings settings;
    settings.Cols = c.cols, settings.Rows = c.rows;
    settings.WindowScale = c.scale;
    const ScreenGeometry g = EffectiveGeometry(settings);
    EXPECT_EQ(std::pair(g.cols, g.rows), std::pair(c.wantCols, c.wantRows));
    EXPECT_EQ(g.scale, c.wantScale);
    EXPECT_EQ(c.width < 0 ? -1 : g.clientWidth, c.width);
    EXPECT_EQ(c.height < 0 ? -1 : g.clientHeight, c.height);
  }
}

}  // namespace
}  // namespace kestrix
