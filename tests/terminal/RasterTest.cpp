#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <sstream>
#include <string_view>

#include "terminal/Painter.h"

namespace kestrix {
namespace {

constexpr Colour kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000;

// Pictures: rows split by spaces; '.' black, '#' white, 'r', 'g', 'b', '?'.
constexpr std::string_view kInkChars = ".#rgb";
constexpr Colour kInks[] = {kBlack, kWhite, kRed, kGreen, kBlue};

Raster FromPicture(const std::string& picture) {
  std::vector<std::string> rows;
  std::istringstream in(picture);
  for (std::string row; in >> row;) rows.push_back(row);
  Raster r(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()));
  for (int y = 0; y < r.height(); ++y)
    for (int x = 0; x < r.width(); ++x)
      r.At(x, y) = kInks[kInkChars.find(rows[y][x])];
  return r;
}

std::string Picture(const Raster& r) {
  std::string out;
  for (int y = 0; y < r.height(); ++y) {
    if (y > 0) out += ' ';
    for (int x = 0; x < r.width(); ++x) {
      const auto ink =
          std::find(std::begin(kInks), std::end(kInks), r.At(x, y));
      out += ink == std::end(kInks) ? '?' : kInkChars[ink - std::begin(kInks)];
    }
  }
  return out;
}

// Every pixel differs from its neighbours, so a stray write shows.
Raster Noise(int width, int height) {
  Raster r(width, height);
  std::uint32_t state = 12345;
  for (Colour& p : r.pixels()) {
    state = state * 1103515245u + 12345u;
    p = (state >> 4) & kColourMask;
  }
  return r;
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

std::string Filled(const std::string& picture, Colour colour, int x, int y) {
  Raster r = FromPicture(picture);
  Painter p(r);
  p.SetColour(colour);
  p.SetMode(DrawMode::kInvert);  // a fill ignores the mode
  p.FloodFill(x, y);
  return Picture(r);
}

TEST(FloodFillTest, FillsTheFourConnectedArea) {
  EXPECT_EQ(
      Filled("....... .#####. .#...#. .#.#.#. .#...#. .#####.", kRed, 2, 2),
      "....... .#####. .#rrr#. .#r#r#. .#rrr#. .#####.");
  // No leak through diagonal gaps.
  EXPECT_EQ(Filled("..#... ...#.. #...#. .#...#", kBlue, 0, 0),
            "bb#... bbb#.. #bbb#. .#bbb#");
  // Seeds outside, or an area that already has the colour: no change.
  for (auto [x, y] : {std::pair{-1, 0}, {3, 0}, {0, 2}, {INT_MIN, INT_MAX}})
    EXPECT_EQ(Filled("..# r.#", kGreen, x, y), "..# r.#");
  EXPECT_EQ(Filled("..# r.#", kRed, 0, 1), "..# r.#");
}

TEST(FloodFillTest, LargeAreasAndCombsDoNotExhaustTheStack) {
  Raster r(4000, 4000);
  r.At(3999, 3999) = kRed;
  Painter p(r);
  p.SetColour(kGreen);
  p.FloodFill(2000, 1000);
  EXPECT_EQ(std::count(r.pixels().begin(), r.pixels().end(), kGreen),
            4000 * 4000 - 1);
}

// Overlapping itself, a blit reads as from a snapshot.
TEST(BlitTest, OverlappingItselfReadsAsFromASnapshot) {
  for (DrawMode mode : {DrawMode::kCopy, DrawMode::kInvert}) {
    for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {2, -3}}) {
      Raster self = Noise(9, 7), other = self;
      Painter a(self), b(other);
      a.SetMode(mode);
      b.SetMode(mode);
      a.Blit(self, 1, 1, 7, 5, 1 + dx, 1 + dy);
      b.Blit(Noise(9, 7), 1, 1, 7, 5, 1 + dx, 1 + dy);
      EXPECT_EQ(self, other) << dx << "," << dy;
    }
  }
}

}  // namespace
}  // namespace kestrix
