#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "terminal/Painter.h"

namespace kestrix {
namespace {

// Rows split by spaces: '#' a touched pixel, '.' an untouched one.
std::string Picture(const Raster& r) {
  std::string out;
  for (int y = 0; y < r.height(); ++y) {
    if (y > 0) out += ' ';
    for (int x = 0; x < r.width(); ++x) out += r.At(x, y) == kBlack ? '.' : '#';
  }
  return out;
}

// Lines include both ends; an ellipse's box leaves out its right and bottom.
TEST(ShapeTest, LinesAndEllipsesPixelByPixel) {
  struct Row {
    const char* name;
    char shape;
    std::vector<int> v;  // width, height, then the two points
    std::string expected;
  };
  // clang-format off
  const Row rows[] = {
      {"falling line", 'L', {6, 3, 0, 0, 5, 2}, "##.... ..##.. ....##"},
      {"rising line", 'L', {6, 3, 0, 2, 5, 0}, "....## ..##.. ##...."},
      {"steep line", 'L', {3, 6, 0, 0, 2, 5}, "#.. #.. .#. .#. ..# ..#"},
      {"single point", 'L', {3, 2, 1, 1, 1, 1}, "... .#."},
      // At an exact half the minor coordinate stays with the start point.
      {"half step forwards", 'L', {5, 3, 0, 0, 4, 2}, "##... ..##. ....#"},
      {"half step backwards", 'L', {5, 3, 4, 2, 0, 0}, "#.... .##.. ...##"},
      {"clipped keeps its pixels", 'L', {5, 3, -3, -1, 8, 3}, "##... ..##. ....#"},
      {"no wrap at the left edge", 'L', {4, 6, 2, 0, -1, 5}, "..#. .#.. .#.. #... #... ...."},
      {"ellipse of one pixel", 'E', {3, 3, 1, 1, 2, 2}, "... .#. ..."},
      {"ellipse 4x4", 'E', {4, 4, 0, 0, 4, 4}, ".##. #### #### .##."},
      {"empty ellipse box", 'E', {4, 3, 1, 1, 1, 3}, ".... .... ...."},
      {"huge ellipse", 'E', {3, 2, INT_MIN, INT_MIN, INT_MAX, INT_MAX}, "### ###"},
      {"pointed tip", 'E', {4, 2, 0, 0, INT_MAX, 2}, ".... ...."},
  };
  // clang-format on
  for (const Row& row : rows) {
    const std::vector<int>& v = row.v;
    Raster r(v[0], v[1]);
    Painter p(r);
    p.SetMode(DrawMode::kInvert);  // a pixel touched twice would stay black
    if (row.shape == 'L') p.Line(v[2], v[3], v[4], v[5]);
    if (row.shape == 'E') p.FillEllipse(v[2], v[3], v[4], v[5]);
    EXPECT_EQ(Picture(r), row.expected) << row.name;
  }
}

}  // namespace
}  // namespace kestrix
