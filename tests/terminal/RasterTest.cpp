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

TEST(PainterTest, BoxesAndPlotsClipAndInvertIgnoresTheColour) {
  Raster r(6, 5);
  Painter p(r);
  p.SetColour(0xAB00FF00);  // only the colour bits count
  p.FillBox(1, 1, 3, 2);
  // Boxes across each edge, empty boxes, plots inside and outside.
  const int boxes[][4] = {{-2, 4, 3, 1}, {5, -5, 1, 6}, {4, 3, 9, 1},
                          {3, 4, 1, 50}, {0, 0, 0, 2},  {0, 0, -2, 2},
                          {0, 0, 2, 0}};
  for (const auto& [x, y, w, h] : boxes) p.FillBox(x, y, w, h);
  for (auto [x, y] : {std::pair{0, 3}, {6, 0}, {0, 5}, {-1, 0}, {0, -1}})
    p.Plot(x, y);
  EXPECT_EQ(Picture(r), ".....g .ggg.. .ggg.. g...gg g..g..");
  Raster inv = FromPicture("#r. gb.");
  Painter q(inv);
  q.SetColour(kRed);
  q.SetMode(DrawMode::kInvert);
  q.FillBox(0, 0, 2, 2);
  q.Plot(2, 0);
  EXPECT_EQ(inv.pixels(), (std::vector<Colour>{kBlack, 0xFFFF00, kWhite,
                                               0xFF00FF, 0x00FFFF, kBlack}));
}

// Lines include both ends; an ellipse's box leaves out its right and bottom.
TEST(ShapeTest, LinesAndEllipsesPixelByPixel) {
  const std::string falling = "##.... ..##.. ....##";
  const std::tuple<char, std::vector<int>, std::string> cases[] = {
      {'L', {6, 3, 0, 0, 5, 2}, falling},
      {'L', {6, 3, 5, 2, 0, 0}, falling},
      {'L', {6, 3, 0, 2, 5, 0}, "....## ..##.. ##...."},
      {'L', {3, 6, 0, 0, 2, 5}, "#.. #.. .#. .#. ..# ..#"},
      {'L', {3, 6, 0, 5, 2, 0}, "..# ..# .#. .#. #.. #.."},
      {'L', {5, 1, 4, 0, 1, 0}, ".####"},
      {'L', {3, 2, 1, 1, 1, 1}, "... .#."},
      // At an exact half the minor coordinate stays with the start point.
      {'L', {5, 3, 0, 0, 4, 2}, "##... ..##. ....#"},
      {'L', {5, 3, 4, 2, 0, 0}, "#.... .##.. ...##"},
      // Clipped lines keep the pixels the whole line would have.
      {'L', {5, 3, -3, -1, 8, 3}, "##... ..##. ....#"},
      {'L', {5, 3, 9, 5, 0, 1}, "..... ##... ..##."},
      // Leaving through the left edge must not wrap to the row above.
      {'L', {4, 6, 2, 0, -1, 5}, "..#. .#.. .#.. #... #... ...."},

      {'E', {3, 3, 1, 1, 2, 2}, "... .#. ..."},
      {'E', {4, 4, 0, 0, 4, 4}, ".##. #### #### .##."},
      {'E', {5, 3, 0, 0, 5, 3}, ".###. ##### .###."},
      {'E',
       {7, 7, 0, 0, 6, 6},
       ".####.. ######. ######. ######. ######. .####.. ......."},
      {'E', {4, 3, 1, 1, 1, 3}, ".... .... ...."},  // empty or inverted boxes
      {'E', {4, 3, 3, 2, 0, 0}, ".... .... ...."},
      {'E', {3, 2, INT_MIN, INT_MIN, INT_MAX, INT_MAX}, "### ###"},
      {'E', {4, 2, 0, 0, INT_MAX, 2}, ".... ...."},  // the pointed tip
      {'E', {4, 2, 0, INT_MIN, 4, INT_MAX}, "#### ####"},
  };
  for (const auto& [shape, v, expected] : cases) {
    Raster r(v[0], v[1]);
    Painter p(r);
    p.SetMode(DrawMode::kInvert);  // a pixel touched twice would stay black
    if (shape == 'L') p.Line(v[2], v[3], v[4], v[5]);
    if (shape == 'E') p.FillEllipse(v[2], v[3], v[4], v[5]);
    EXPECT_EQ(Picture(r), expected) << shape << v[2] << "," << v[3];
  }
}

TEST(ShapeTest, FarAwayEndPointsStillHitTheRightPixels) {
  Raster r(4, 6);
  Painter p(r);
  p.SetColour(kWhite);
  // Slope 1/(2^32 - 1): the step to y = 4 happens between x = -1 and 0.
  p.Line(INT_MIN, 3, INT_MAX, 4);
  p.SetColour(kRed);
  p.Line(INT_MIN, INT_MIN, INT_MAX, INT_MAX);  // the diagonal through (0,0)
  p.SetColour(kGreen);
  p.Line(2, INT_MAX, 2, INT_MIN);
  p.SetColour(kBlue);
  p.Line(INT_MIN, INT_MAX, INT_MAX, INT_MIN);  // passes (-1,0): misses
  EXPECT_EQ(Picture(r), "r.g. .rg. ..g. ..gr ##g# ..g.");
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
  // Teeth hanging from a bar make the fill go down and come back up.
  Raster comb(640, 446);
  Painter c(comb);
  c.SetColour(kWhite);
  for (int x = 1; x < 640; x += 2) c.FillBox(x, 1, 1, 445);
  c.SetColour(kRed);
  c.FloodFill(0, 445);
  EXPECT_EQ(std::count(comb.pixels().begin(), comb.pixels().end(), kRed),
            640 * 446 - 320 * 445);
}

TEST(BlitTest, CombinesBitByBitClipsAndOverlapsItself) {
  const Raster src = FromPicture("rg b#");  // black all around it
  Raster r = FromPicture("#### #### ####");
  Painter(r).Blit(src, -1, -1, 3, 3, 2, 1);
  EXPECT_EQ(Picture(r), "#### ##.. ##.r");
  Raster inv = FromPicture("#r.. ....");
  Painter q(inv);
  q.SetMode(DrawMode::kInvert);
  q.Blit(src, 0, 1, 4, 2, 1, 0);
  EXPECT_EQ(Picture(inv), "#g.# .###");
  Raster target = FromPicture("rg");
  Painter(target).Blit(Raster(), 0, 0, 2, 1, 0, 0);
  EXPECT_EQ(Picture(target), "..");
  // Overlapping itself, a blit reads as from a snapshot.
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

// Far-out coordinates: no writes outside; inverting twice leaves no trace.
TEST(ExtremeCoordinatesTest, EveryPrimitiveStaysInsideAndUndoesItself) {
  const int extremes[] = {INT_MIN, INT_MIN + 1, -1, 0, 7, 1000000, INT_MAX};
  const Raster before = Noise(6, 5);
  Raster r = before;
  Painter p(r);
  for (int a : extremes) {
    for (int b : extremes) {
      for (int c : extremes) {
        const int d = c == INT_MIN ? INT_MAX : -c;
        p.SetMode(DrawMode::kInvert);
        for (int k = 0; k < 2; ++k) {
          p.FillBox(a, b, c, d);
          p.Line(a, b, c, d);
          p.FillEllipse(a, b, c, d);
          p.Plot(a, c);
        }
        ASSERT_EQ(r, before) << a << " " << b << " " << c << " " << d;
        p.Blit(before, a, b, c, d, b, a);
        p.Blit(r, c, a, b, d, a, c);
        p.SetMode(DrawMode::kCopy);
        p.FloodFill(a, b);
        r = before;
      }
    }
  }
  Raster empty(0, 5);  // no pixels to touch
  Painter(empty).FloodFill(0, 0);
  Painter(empty).FillEllipse(0, 0, 10, 10);
  EXPECT_TRUE(empty.pixels().empty());
}

}  // namespace
}  // namespace kestrix
