#include <gtest/gtest.h>

#include <limits>
#include <utility>

#include "settings/ScreenGeometry.h"
#include "settings/Settings.h"

namespace kestrix {
namespace {

ScreenGeometry For(int cols, int rows, float scale) {
  Settings settings;
  settings.Cols = cols;
  settings.Rows = rows;
  settings.WindowScale = scale;
  return EffectiveGeometry(settings);
}

TEST(ScreenGeometryTest, ClientAreaRoundsHalvesToEven) {
  const ScreenGeometry start = For(80, 25, 1.0f);
  EXPECT_EQ(start.client_width, 640);
  EXPECT_EQ(start.client_height, 25 * 17 + 21);

  const ScreenGeometry zoomed = For(80, 25, 1.5f);
  EXPECT_EQ(zoomed.client_width, 960);
  EXPECT_EQ(zoomed.client_height, 658);  // 658.5

  // 3 x 17 x 1.5 + 21 = 97.5 goes up to the even 98.
  EXPECT_EQ(For(1, 3, 1.5f).client_height, 98);
  // 1 x 8 x 0.3125 = 2.5 goes down to 2.
  EXPECT_EQ(For(1, 1, 0.3125f).client_width, 2);
}

std::pair<int, int> Grid(int cols, int rows) {
  const ScreenGeometry geometry = For(cols, rows, 1.0f);
  return {geometry.cols, geometry.rows};
}

TEST(ScreenGeometryTest, GridIsClampedToSaneBounds) {
  constexpr int kMax = std::numeric_limits<int>::max();
  constexpr int kMin = std::numeric_limits<int>::min();
  EXPECT_EQ(Grid(80, 25), std::pair(80, 25));
  EXPECT_EQ(Grid(0, 0), std::pair(1, 1));
  EXPECT_EQ(Grid(-5, -1), std::pair(1, 1));
  EXPECT_EQ(Grid(512, 256), std::pair(512, 256));
  EXPECT_EQ(Grid(513, 257), std::pair(512, 256));
  EXPECT_EQ(Grid(kMax, kMin), std::pair(512, 1));
}

TEST(ScreenGeometryTest, ScaleFallsBackOrClamps) {
  constexpr float kInf = std::numeric_limits<float>::infinity();
  const struct {
    float scale;
    float expected;
  } cases[] = {
      {1.5f, 1.5f},   {0.0f, 1.0f},
      {-2.0f, 1.0f},  {kInf, 1.0f},
      {-kInf, 1.0f},  {std::numeric_limits<float>::quiet_NaN(), 1.0f},
      {0.1f, 0.25f},  {8.0f, 8.0f},
      {100.0f, 8.0f}, {1e-30f, 0.25f},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(For(80, 25, c.scale).scale, c.expected) << c.scale;
  }
}

TEST(ScreenGeometryTest, LargeGridLowersScaleToKeepWindowBounded) {
  const ScreenGeometry geometry = For(100000, 100000, 8.0f);
  EXPECT_EQ(geometry.cols, 512);
  EXPECT_EQ(geometry.rows, 256);
  EXPECT_LT(geometry.scale, 8.0f);
  EXPECT_GE(geometry.scale, 3.7f);
  EXPECT_LE(geometry.client_width, 16384);
  EXPECT_LE(geometry.client_height, 16384);
  EXPECT_GE(geometry.client_height, 16380);  // the height is what limits it

  // A grid that fits keeps its scale.
  EXPECT_EQ(For(200, 60, 8.0f).scale, 8.0f);
  EXPECT_EQ(For(200, 60, 8.0f).client_width, 12800);
}

}  // namespace
}  // namespace kestrix
