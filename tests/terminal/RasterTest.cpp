#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "terminal/Raster.h"

namespace kestrix {
namespace {

constexpr Colour kRed = 0x0000FF;
constexpr Colour kGreen = 0x00FF00;
constexpr Colour kBlue = 0xFF0000;

// Pictures: '.' black, '#' white, 'r' red, 'g' green, 'b' blue, '?' other.
constexpr std::pair<char, Colour> kInks[] = {
    {'.', kBlack}, {'#', kWhite}, {'r', kRed}, {'g', kGreen}, {'b', kBlue}};

Colour ColourOf(char c) {
  for (const auto& [ink, colour] : kInks) {
    if (ink == c) return colour;
  }
  return kBlack;
}

char CharOf(Colour c) {
  for (const auto& [ink, colour] : kInks) {
    if (colour == c) return ink;
  }
  return '?';
}

Raster FromPicture(const std::vector<std::string>& rows) {
  Raster r(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()));
  for (int y = 0; y < r.height(); ++y) {
    for (int x = 0; x < r.width(); ++x) r.At(x, y) = ColourOf(rows[y][x]);
  }
  return r;
}

// One line per pixel row, so a failing expectation shows the picture.
std::string Picture(const Raster& r) {
  std::string out;
  for (int y = 0; y < r.height(); ++y) {
    for (int x = 0; x < r.width(); ++x) out += CharOf(r.At(x, y));
    out += '\n';
  }
  return out;
}

std::string Lines(const std::vector<std::string>& rows) {
  std::string out;
  for (const auto& row : rows) out += row + '\n';
  return out;
}

// A background where every pixel differs from its neighbours, so a stray
// write or a wrong source offset shows.
Raster Noise(int width, int height) {
  Raster r(width, height);
  std::uint32_t state = 12345;
  for (Colour& p : r.pixels()) {
    state = state * 1103515245u + 12345u;
    p = (state >> 4) & kColourMask;
  }
  return r;
}

const int kExtremes[] = {INT_MIN, INT_MIN + 1, -1000000, -3, -1, 0, 1, 2, 4, 7,
                         1000000, INT_MAX - 1, INT_MAX};

// ---------------------------------------------------------------- boxes

TEST(FillBoxTest, CoversLeftToLeftPlusWidthMinusOne) {
  Raster r(6, 4);
  Painter p(r);
  p.SetColour(kWhite);
  p.FillBox(1, 1, 3, 2);
  p.SetColour(kRed);
  p.FillBox(5, 0, 1, 1);  // 1 by 1 is one pixel
  EXPECT_EQ(Picture(r), Lines({".....r", ".###..", ".###..", "......"}));
}

TEST(FillBoxTest, ClipsAtEveryEdge) {
  Raster r(5, 4);
  Painter p(r);
  p.SetColour(kWhite);
  p.FillBox(-2, 1, 3, 1);  // left edge
  p.FillBox(3, -5, 1, 6);  // top edge: row 0 only
  p.FillBox(4, 2, 9, 1);   // right edge
  p.FillBox(1, 3, 2, 50);  // bottom edge
  EXPECT_EQ(Picture(r), Lines({"...#.", "#....", "....#", ".##.."}));
  Raster all(3, 2);
  Painter q(all);
  q.SetColour(kGreen);
  q.FillBox(-10, -10, 100, 100);
  EXPECT_EQ(Picture(all), Lines({"ggg", "ggg"}));
}

TEST(FillBoxTest, ZeroOrNegativeSizeCoversNothing) {
  Raster r = Noise(4, 4);
  const Raster before = r;
  Painter p(r);
  p.SetColour(kWhite);
  p.FillBox(1, 1, 0, 2);
  p.FillBox(1, 1, 2, 0);
  p.FillBox(3, 3, -2, 2);
  p.FillBox(3, 3, 2, -2);
  p.FillBox(3, 3, -2, -2);
  EXPECT_EQ(r, before);
}

TEST(FillBoxTest, InvertComplementsWhateverTheFrontColour) {
  Raster r = FromPicture({"#r.", "gb."});
  Painter p(r);
  p.SetColour(kRed);
  p.SetMode(DrawMode::kInvert);
  p.FillBox(0, 0, 2, 2);
  EXPECT_EQ(r.At(0, 0), kBlack);
  EXPECT_EQ(r.At(1, 0), 0xFFFF00u);
  EXPECT_EQ(r.At(0, 1), 0xFF00FFu);
  EXPECT_EQ(r.At(1, 1), 0x00FFFFu);
  EXPECT_EQ(r.At(2, 0), kBlack);
}

TEST(PlotTest, SetsOnePixelAndIgnoresPointsOutside) {
  Raster r(3, 2);
  Painter p(r);
  p.SetColour(kBlue);
  p.Plot(2, 1);
  p.Plot(3, 0);
  p.Plot(0, 2);
  p.Plot(-1, 0);
  p.Plot(0, -1);
  p.SetMode(DrawMode::kInvert);
  p.Plot(0, 0);
  EXPECT_EQ(Picture(r), Lines({"#..", "..b"}));
}

TEST(PainterTest, ColourKeepsOnlyTheColourBits) {
  Raster r(1, 1);
  Painter p(r);
  p.SetColour(0xAB123456);
  p.Plot(0, 0);
  EXPECT_EQ(r.At(0, 0), 0x123456u);
  EXPECT_EQ(Raster(2, 1, 0xFF00FF00).At(1, 0), kGreen);
}

// ---------------------------------------------------------------- lines

struct LineCase {
  int x0, y0, x1, y1;
  std::vector<std::string> expected;
};

TEST(LineTest, DrawsEveryOctantWithBothEndPoints) {
  const std::vector<std::string> falling = {"##....", "..##..", "....##"};
  const std::vector<std::string> rising = {"....##", "..##..", "##...."};
  const std::vector<std::string> steep_right = {"#..", "#..", ".#.",
                                                ".#.", "..#", "..#"};
  const std::vector<std::string> steep_left = {"..#", "..#", ".#.",
                                               ".#.", "#..", "#.."};
  const LineCase cases[] = {
      {0, 0, 5, 2, falling},     {5, 2, 0, 0, falling},
      {5, 0, 0, 2, rising},      {0, 2, 5, 0, rising},
      {0, 0, 2, 5, steep_right}, {2, 5, 0, 0, steep_right},
      {2, 0, 0, 5, steep_left},  {0, 5, 2, 0, steep_left},
  };
  for (const LineCase& c : cases) {
    Raster r(static_cast<int>(c.expected[0].size()),
             static_cast<int>(c.expected.size()));
    Painter p(r);
    p.SetColour(kWhite);
    p.Line(c.x0, c.y0, c.x1, c.y1);
    EXPECT_EQ(Picture(r), Lines(c.expected))
        << "(" << c.x0 << "," << c.y0 << ")-(" << c.x1 << "," << c.y1 << ")";
  }
}

TEST(LineTest, HorizontalVerticalDiagonalAndSinglePixel) {
  Raster r(5, 5);
  Painter p(r);
  p.SetColour(kWhite);
  p.Line(4, 0, 1, 0);
  p.Line(0, 1, 0, 4);
  p.SetColour(kRed);
  p.Line(1, 1, 4, 4);
  p.SetColour(kGreen);
  p.Line(3, 1, 3, 1);
  EXPECT_EQ(Picture(r), Lines({
                            ".####",
                            "#r.g.",
                            "#.r..",
                            "#..r.",
                            "#...r",
                        }));
}

// At an exact half the minor coordinate stays with the start point, so the
// same segment drawn in the two directions differs.
TEST(LineTest, TiesRoundTowardsTheStartPoint) {
  Raster forward(5, 3);
  Raster backward(5, 3);
  Painter f(forward);
  Painter b(backward);
  f.SetColour(kWhite);
  b.SetColour(kWhite);
  f.Line(0, 0, 4, 2);
  b.Line(4, 2, 0, 0);
  EXPECT_EQ(Picture(forward), Lines({"##...", "..##.", "....#"}));
  EXPECT_EQ(Picture(backward), Lines({"#....", ".##..", "...##"}));
}

TEST(LineTest, ClippedLineKeepsTheUnclippedPixels) {
  // (-3,-1)-(8,3) enters at (0,0) and passes (2,1), (3,1), (4,2).
  Raster r(5, 3);
  Painter p(r);
  p.SetColour(kWhite);
  p.Line(-3, -1, 8, 3);
  EXPECT_EQ(Picture(r), Lines({"##...", "..##.", "....#"}));
  // (0,1)-(9,5) leaves through the bottom edge after (3,2); drawn from the
  // far end it enters there.
  for (bool reverse : {false, true}) {
    Raster out(5, 3);
    Painter q(out);
    q.SetColour(kWhite);
    if (reverse) {
      q.Line(9, 5, 0, 1);
    } else {
      q.Line(0, 1, 9, 5);
    }
    EXPECT_EQ(Picture(out), Lines({".....", "##...", "..##."})) << reverse;
  }
  // A steep line that leaves through the left edge must not wrap round to
  // the end of the row above.
  Raster steep(4, 6);
  Painter s(steep);
  s.SetColour(kWhite);
  s.Line(2, 0, -1, 5);
  EXPECT_EQ(Picture(steep),
            Lines({"..#.", ".#..", ".#..", "#...", "#...", "...."}));
}

TEST(LineTest, TouchesEachPixelOnceSoInvertingTwiceRestores) {
  const int ends[][4] = {{0, 0, 9, 9}, {9, 0, 0, 3},  {2, 7, 8, 1},
                         {0, 5, 9, 5}, {4, 0, 5, 9},  {1, 2, 6, 9},
                         {3, 3, 3, 3}, {-5, 2, 14, 6}};
  for (const auto& e : ends) {
    Raster black(10, 10);
    Painter p(black);
    p.SetMode(DrawMode::kInvert);
    p.Line(e[0], e[1], e[2], e[3]);
    // Lying inside, the line has max(|dx|, |dy|) + 1 pixels; a pixel touched
    // twice would be back to black.
    int lit = 0;
    for (Colour c : black.pixels()) lit += c == kWhite;
    const bool inside = std::min({e[0], e[1], e[2], e[3]}) >= 0 &&
                        std::max({e[0], e[1], e[2], e[3]}) <= 9;
    if (inside) {
      EXPECT_EQ(lit,
                std::max(std::abs(e[2] - e[0]), std::abs(e[3] - e[1])) + 1);
    }
    Raster noisy = Noise(10, 10);
    const Raster before = noisy;
    Painter n(noisy);
    n.SetMode(DrawMode::kInvert);
    n.Line(e[0], e[1], e[2], e[3]);
    EXPECT_NE(noisy, before);
    n.Line(e[0], e[1], e[2], e[3]);
    EXPECT_EQ(noisy, before);
  }
}

TEST(LineTest, FarAwayEndPointsStillHitTheRightPixels) {
  Raster r(4, 6);
  Painter p(r);
  p.SetColour(kWhite);
  // Slope 1/(2^32 - 1): the step to y = 4 happens exactly between x = -1
  // and x = 0.
  p.Line(INT_MIN, 3, INT_MAX, 4);
  p.SetColour(kRed);
  p.Line(INT_MIN, INT_MIN, INT_MAX, INT_MAX);  // the diagonal through (0,0)
  p.SetColour(kGreen);
  p.Line(2, INT_MAX, 2, INT_MIN);
  p.SetColour(kBlue);
  p.Line(INT_MIN, INT_MAX, INT_MAX, INT_MIN);  // passes (-1,0): misses
  EXPECT_EQ(Picture(r), Lines({
                            "r.g.",
                            ".rg.",
                            "..g.",
                            "..gr",
                            "##g#",
                            "..g.",
                        }));
}

// ---------------------------------------------------------------- ellipses

std::string Ellipse(int width, int height, int l, int t, int r, int b) {
  Raster ras(width, height);
  Painter p(ras);
  p.SetColour(kWhite);
  p.FillEllipse(l, t, r, b);
  return Picture(ras);
}

TEST(FillEllipseTest, SmallBoxes) {
  EXPECT_EQ(Ellipse(3, 3, 1, 1, 2, 2), Lines({"...", ".#.", "..."}));
  EXPECT_EQ(Ellipse(2, 2, 0, 0, 2, 2), Lines({"##", "##"}));
  EXPECT_EQ(Ellipse(3, 3, 0, 0, 3, 3), Lines({"###", "###", "###"}));
  EXPECT_EQ(Ellipse(4, 4, 0, 0, 4, 4), Lines({".##.", "####", "####", ".##."}));
  EXPECT_EQ(Ellipse(5, 3, 0, 0, 5, 3), Lines({".###.", "#####", ".###."}));
  EXPECT_EQ(Ellipse(3, 5, 0, 0, 3, 5),
            Lines({".#.", "###", "###", "###", ".#."}));
  EXPECT_EQ(Ellipse(5, 5, 0, 0, 5, 5), Lines({
                                           ".###.",
                                           "#####",
                                           "#####",
                                           "#####",
                                           ".###.",
                                       }));
  EXPECT_EQ(Ellipse(9, 2, 0, 0, 9, 2), Lines({".#######.", ".#######."}));
}

TEST(FillEllipseTest, EmptyOrInvertedBoxCoversNothing) {
  const std::string blank = Lines({"....", "....", "...."});
  EXPECT_EQ(Ellipse(4, 3, 1, 1, 1, 3), blank);
  EXPECT_EQ(Ellipse(4, 3, 1, 1, 3, 1), blank);
  EXPECT_EQ(Ellipse(4, 3, 3, 2, 0, 0), blank);
}

TEST(FillEllipseTest, TwentyByTwentyIsSymmetricAboutTheBoxCentre) {
  Raster r(24, 24);
  Painter p(r);
  p.SetColour(kWhite);
  p.FillEllipse(2, 2, 22, 22);
  int area = 0;
  for (int y = 0; y < 24; ++y) {
    for (int x = 0; x < 24; ++x) {
      const bool on = r.At(x, y) == kWhite;
      area += on;
      if (x < 2 || x >= 22 || y < 2 || y >= 22) {
        EXPECT_FALSE(on) << x << "," << y;
        continue;
      }
      EXPECT_EQ(on, r.At(23 - x, y) == kWhite) << x << "," << y;
      EXPECT_EQ(on, r.At(x, 23 - y) == kWhite) << x << "," << y;
      EXPECT_EQ(on, r.At(y, x) == kWhite) << x << "," << y;
    }
  }
  // The top row has |dx| <= sqrt(39): columns 7 to 12 of the box.
  std::string top;
  for (int x = 2; x < 22; ++x) top += CharOf(r.At(x, 2));
  EXPECT_EQ(top, ".......######.......");
  std::string middle;
  for (int x = 0; x < 24; ++x) middle += CharOf(r.At(x, 11));
  EXPECT_EQ(middle, "..####################..");
  EXPECT_GT(area, 300);
  EXPECT_LT(area, 330);
}

// The device asks for a circle of radius r at (x, y) as the box
// (x - r, y - r) to (x + r, y + r), whose right and bottom edges are out.
TEST(FillEllipseTest, DeviceCircleBoxes) {
  auto circle = [](int cx, int cy, int radius) {
    return Ellipse(7, 7, cx - radius, cy - radius, cx + radius, cy + radius);
  };
  EXPECT_EQ(circle(3, 3, 2), Lines({
                                 ".......",
                                 "..##...",
                                 ".####..",
                                 ".####..",
                                 "..##...",
                                 ".......",
                                 ".......",
                             }));
  EXPECT_EQ(circle(3, 3, 1), Lines({
                                 ".......",
                                 ".......",
                                 "..##...",
                                 "..##...",
                                 ".......",
                                 ".......",
                                 ".......",
                             }));
  EXPECT_EQ(circle(3, 3, 3), Lines({
                                 ".####..",
                                 "######.",
                                 "######.",
                                 "######.",
                                 "######.",
                                 ".####..",
                                 ".......",
                             }));
  const std::string blank = Ellipse(7, 7, 0, 0, 0, 0);
  EXPECT_EQ(circle(3, 3, 0), blank);
  EXPECT_EQ(circle(3, 3, -2), blank);
}

TEST(FillEllipseTest, ClippedEllipseMatchesTheVisiblePartOfTheWholeOne) {
  Raster whole(30, 20);
  Painter w(whole);
  w.SetColour(kWhite);
  w.FillEllipse(3, 2, 26, 17);
  // The same ellipse moved 12 left and 8 up: its top-left part is cut off.
  Raster part(10, 8);
  Painter q(part);
  q.SetColour(kWhite);
  q.FillEllipse(3 - 12, 2 - 8, 26 - 12, 17 - 8);
  for (int y = 0; y < part.height(); ++y) {
    for (int x = 0; x < part.width(); ++x) {
      EXPECT_EQ(part.At(x, y), whole.At(x + 12, y + 8)) << x << "," << y;
    }
  }
}

TEST(FillEllipseTest, HugeBoxes) {
  // The raster sits at the centre of the largest box: fully covered.
  EXPECT_EQ(Ellipse(3, 2, INT_MIN, INT_MIN, INT_MAX, INT_MAX),
            Lines({"###", "###"}));
  // The pointed left tip of a very long flat ellipse covers nothing near it.
  EXPECT_EQ(Ellipse(4, 2, 0, 0, INT_MAX, 2), Lines({"....", "...."}));
  // Rows near the middle of a very tall one span the whole box width.
  EXPECT_EQ(Ellipse(4, 2, 0, INT_MIN, 4, INT_MAX), Lines({"####", "####"}));
}

TEST(FillEllipseTest, InvertComplementsEachCoveredPixelOnce) {
  Raster r = Noise(9, 7);
  const Raster before = r;
  Painter p(r);
  p.SetMode(DrawMode::kInvert);
  p.FillEllipse(0, 0, 9, 7);
  EXPECT_EQ(r.At(4, 3), before.At(4, 3) ^ kColourMask);
  EXPECT_EQ(r.At(0, 0), before.At(0, 0));
  p.FillEllipse(0, 0, 9, 7);
  EXPECT_EQ(r, before);
}

// ---------------------------------------------------------------- flood fill

TEST(FloodFillTest, FillsInsideARingOnly) {
  Raster r = FromPicture({
      ".......",
      ".#####.",
      ".#...#.",
      ".#.#.#.",
      ".#...#.",
      ".#####.",
      ".......",
  });
  Painter p(r);
  p.SetColour(kRed);
  p.FloodFill(2, 2);
  EXPECT_EQ(Picture(r), Lines({
                            ".......",
                            ".#####.",
                            ".#rrr#.",
                            ".#r#r#.",
                            ".#rrr#.",
                            ".#####.",
                            ".......",
                        }));
  p.SetColour(kGreen);
  p.FloodFill(6, 6);
  EXPECT_EQ(Picture(r), Lines({
                            "ggggggg",
                            "g#####g",
                            "g#rrr#g",
                            "g#r#r#g",
                            "g#rrr#g",
                            "g#####g",
                            "ggggggg",
                        }));
}

TEST(FloodFillTest, DoesNotLeakThroughDiagonalGaps) {
  Raster r = FromPicture({"..#...", "...#..", "#...#.", ".#...#"});
  Painter p(r);
  p.SetColour(kBlue);
  p.FloodFill(0, 0);
  EXPECT_EQ(Picture(r), Lines({"bb#...", "bbb#..", "#bbb#.", ".#bbb#"}));
}

TEST(FloodFillTest, WindsThroughAMazeTouchingTheEdges) {
  Raster r = FromPicture(
      {"....#...", "###.#.#.", "....#.#.", ".####.#.", "......#.", "#######."});
  Painter p(r);
  p.SetColour(kRed);
  p.SetMode(DrawMode::kInvert);  // a fill ignores the mode
  p.FloodFill(7, 5);
  EXPECT_EQ(Picture(r), Lines({
                            "rrrr#rrr",
                            "###r#r#r",
                            "rrrr#r#r",
                            "r####r#r",
                            "rrrrrr#r",
                            "#######r",
                        }));
}

TEST(FloodFillTest, SeedOutsideOrSameColourChangesNothing) {
  Raster r = FromPicture({"..#", "r.#"});
  const Raster before = r;
  Painter p(r);
  p.SetColour(kGreen);
  p.FloodFill(-1, 0);
  p.FloodFill(3, 0);
  p.FloodFill(0, 2);
  p.FloodFill(INT_MIN, INT_MAX);
  EXPECT_EQ(r, before);
  p.SetColour(kWhite);
  p.FloodFill(2, 1);
  EXPECT_EQ(r, before);
  p.SetColour(kRed);
  p.FloodFill(0, 1);
  EXPECT_EQ(r, before);
}

TEST(FloodFillTest, FillsAWholeLargeRaster) {
  Raster r(4000, 4000);
  r.At(0, 0) = kWhite;
  r.At(3999, 3999) = kRed;
  Painter p(r);
  p.SetColour(kGreen);
  p.FloodFill(2000, 1000);
  std::size_t green = 0;
  for (Colour c : r.pixels()) green += c == kGreen;
  EXPECT_EQ(green, 4000u * 4000u - 2u);
  EXPECT_EQ(r.At(0, 0), kWhite);
  EXPECT_EQ(r.At(3999, 3999), kRed);
}

TEST(FloodFillTest, FillsAComb) {
  // Teeth hanging from a bar make the fill go down and come back up.
  Raster r(640, 446);
  Painter p(r);
  p.SetColour(kWhite);
  for (int x = 1; x < 640; x += 2) p.FillBox(x, 1, 1, 445);
  p.SetColour(kRed);
  p.FloodFill(0, 445);
  std::size_t red = 0;
  for (Colour c : r.pixels()) red += c == kRed;
  EXPECT_EQ(red, 640u * 446u - 320u * 445u);
}

// ---------------------------------------------------------------- blits

TEST(BlitTest, CopyAndInvertCombineBitByBit) {
  const Colour src_values[] = {kBlack, kBlack, kWhite, kWhite, 0x00FF00};
  const Colour dst_values[] = {kBlack, kWhite, kBlack, kWhite, 0x0F0F0F};
  Raster src(5, 1);
  Raster dst(5, 1);
  for (int i = 0; i < 5; ++i) {
    src.At(i, 0) = src_values[i];
    dst.At(i, 0) = dst_values[i];
  }
  Raster copied = dst;
  Painter(copied).Blit(src, 0, 0, 5, 1, 0, 0);
  EXPECT_EQ(copied, src);

  Painter p(dst);
  p.SetMode(DrawMode::kInvert);
  p.Blit(src, 0, 0, 5, 1, 0, 0);
  EXPECT_EQ(dst.At(0, 0), kWhite);
  EXPECT_EQ(dst.At(1, 0), kBlack);
  EXPECT_EQ(dst.At(2, 0), kBlack);
  EXPECT_EQ(dst.At(3, 0), kBlack);
  EXPECT_EQ(dst.At(4, 0), 0xF000F0u);
}

// A glyph is drawn as a fill with the complement of the text colour, then
// the black-on-white glyph combined in invert mode: strokes come out in the
// text colour on black.
TEST(BlitTest, GlyphDrawingGivesTheColourOnBlack) {
  const Raster glyph = FromPicture({"#.#", "..#"});
  Raster screen = Noise(5, 3);
  Painter p(screen);
  p.SetColour(kRed ^ kColourMask);
  p.FillBox(1, 1, 3, 2);
  p.SetMode(DrawMode::kInvert);
  p.Blit(glyph, 0, 0, 3, 2, 1, 1);
  EXPECT_EQ(screen.At(1, 1), kBlack);
  EXPECT_EQ(screen.At(2, 1), kRed);
  EXPECT_EQ(screen.At(3, 1), kBlack);
  EXPECT_EQ(screen.At(1, 2), kRed);
  EXPECT_EQ(screen.At(2, 2), kRed);
  EXPECT_EQ(screen.At(3, 2), kBlack);
}

TEST(BlitTest, ClipsTheTargetAndReadsBlackOutsideTheSource) {
  const Raster src = FromPicture({"rg", "b#"});
  Raster r = FromPicture({"####", "####", "####"});
  Painter p(r);
  // Source rectangle from (-1,-1), 3 by 3: a black frame on two sides.
  p.Blit(src, -1, -1, 3, 3, 2, 1);
  EXPECT_EQ(Picture(r), Lines({"####", "##..", "##.r"}));
  Raster inv = FromPicture({"#r..", "...."});
  Painter q(inv);
  q.SetMode(DrawMode::kInvert);
  // Target (1,0) reads "b", (2,0) reads "#", everything else black.
  q.Blit(src, 0, 1, 4, 2, 1, 0);
  EXPECT_EQ(Picture(inv), Lines({"#g.#", ".###"}));
  Raster empty_src;
  Raster target = FromPicture({"rg"});
  Painter(target).Blit(empty_src, 0, 0, 2, 1, 0, 0);
  EXPECT_EQ(Picture(target), Lines({".."}));
}

TEST(BlitTest, SelfOverlapReadsAsFromASnapshot) {
  const int moves[][2] = {{1, 0}, {-1, 0}, {0, 1},  {0, -1},
                          {2, 3}, {-3, 1}, {1, -2}, {0, 0}};
  for (DrawMode mode : {DrawMode::kCopy, DrawMode::kInvert}) {
    for (const auto& m : moves) {
      Raster self = Noise(9, 7);
      Raster other = self;
      const Raster snapshot = self;
      Painter a(self);
      a.SetMode(mode);
      a.Blit(self, 1, 1, 7, 5, 1 + m[0], 1 + m[1]);
      Painter b(other);
      b.SetMode(mode);
      b.Blit(snapshot, 1, 1, 7, 5, 1 + m[0], 1 + m[1]);
      EXPECT_EQ(self, other) << m[0] << "," << m[1];
    }
  }
}

TEST(BlitTest, ScrollingTheWholeImageWithItself) {
  Raster r = FromPicture({"rg#", "b..", "#rg"});
  Painter p(r);
  // Content moves up by one and left by one; the rest reads black.
  p.Blit(r, 1, 1, 3, 3, 0, 0);
  EXPECT_EQ(Picture(r), Lines({"...", "rg.", "..."}));
  Raster down = FromPicture({"rg#", "b..", "#rg"});
  Painter(down).Blit(down, 0, 0, 3, 3, 1, 1);
  EXPECT_EQ(Picture(down), Lines({"rg#", "brg", "#b."}));
}

// ---------------------------------------------------------------- extremes

// Sweeps every primitive over far-out coordinates. Nothing may be written
// outside (the sanitizer build checks memory), and a shape drawn twice in
// invert mode must leave the picture as it was.
TEST(ExtremeCoordinatesTest, EveryPrimitiveStaysInsideAndUndoesItself) {
  const Raster before = Noise(6, 5);
  Raster r = before;
  Painter p(r);
  p.SetMode(DrawMode::kInvert);
  for (int a : kExtremes) {
    for (int b : kExtremes) {
      for (int c : kExtremes) {
        const int d = c == INT_MIN ? INT_MAX : -c;
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
        p.SetMode(DrawMode::kInvert);
        r = before;
      }
    }
  }
}

TEST(ExtremeCoordinatesTest, EmptyRasterIgnoresEverything) {
  Raster r(0, 5);
  EXPECT_TRUE(r.empty());
  Raster negative(-4, 3);
  EXPECT_TRUE(negative.pixels().empty());
  Painter p(r);
  p.FillBox(0, 0, 10, 10);
  p.Line(0, 0, 10, 10);
  p.FillEllipse(0, 0, 10, 10);
  p.FloodFill(0, 0);
  p.Plot(0, 0);
  p.Blit(Noise(3, 3), 0, 0, 3, 3, 0, 0);
  EXPECT_TRUE(r.pixels().empty());
}

}  // namespace
}  // namespace kestrix
