// Escape commands 5, K, X8, Y8 drawing on the screen image.
#include <gtest/gtest.h>

#include <algorithm>

#include "EngineHarness.h"

namespace kestrix::test {
namespace {

struct GraphicsEngine : EngineRig {
  GraphicsEngine() : EngineRig(/*deviceMode=*/true) { CursorOff(); }
  ChunkResult Cmd(int k, int x8, int y8) {
    return Feed(Bytes{5, static_cast<std::uint8_t>(k),
                      static_cast<std::uint8_t>(x8),
                      static_cast<std::uint8_t>(y8)});
  }
  void MoveTo(int x, int y) { Cmd(0x00, x / 2, y / 2); }  // even x, y only
  long Count(Colour c) const {
    return std::count(screen.image.pixels().begin(),
                      screen.image.pixels().end(), c);
  }
  std::vector<Colour> At(std::initializer_list<Point> points) const {
    std::vector<Colour> out;
    for (Point p : points) out.push_back(Px(p.x, p.y));
    return out;
  }
  Point Pen() const { return engine.decoder().graphics().LastPoint; }
};

TEST(Graphics, PlotCoordinatesColourAndQueries) {
  GraphicsEngine e;
  e.Cmd(0x31, 100, 50);  // bit 5 adds 1 to x, bit 4 to y
  EXPECT_EQ(e.Px(201, 101), e.Entry(0));
  EXPECT_EQ(e.Pen(), (Point{201, 101}));
  e.Cmd(0x41, 1, 1);  // bit 6 plays no part
  EXPECT_EQ(e.Px(2, 2), e.Entry(0));
  // Off the 446-row image nothing is drawn and a query answers FF.
  e.Cmd(0x01, 255, 255);
  EXPECT_EQ(e.Count(kBlack), 640 * 446 - 2);
  EXPECT_EQ(e.Cmd(0x09, 255, 255).ReplyByte, 0xFF);
  // Two queries in one chunk leave one answer: the second's (black: FE).
  EXPECT_EQ(e.Feed(Bytes{5, 0x09, 1, 1, 5, 0x09, 3, 3}).ReplyByte, 0xFE);
  EXPECT_EQ(e.Cmd(0x01, 1, 1).ReplyByte, 0);  // handed over once only
  // The drawing colour ignores inverse video (entry 5 is green).
  e.Feed(Bytes{12, 13});
  e.Cmd(0x01, 10, 10);
  EXPECT_EQ(e.Px(20, 20), 0x00FF00u);
}

TEST(Graphics, LinesBoxesAndCirclesFromThePen) {
  GraphicsEngine e;
  e.MoveTo(10, 10);
  e.Cmd(0x02, 10, 5);  // line to (20, 10)
  EXPECT_EQ(e.Count(e.Entry(0)), 11);
  EXPECT_EQ(e.Pen(), (Point{20, 10}));
  GraphicsEngine b;
  b.MoveTo(10, 10);
  b.Cmd(0x03, 7, 6);  // (10,10)-(14,12): 5 x 3, the pen stays
  b.Cmd(0x04, 6, 5);  // black box (10,10)-(12,10)
  EXPECT_EQ(b.Count(b.Entry(0)), 12);
  b.Cmd(0x05, 7, 6);  // complement (10,10)-(14,12)
  EXPECT_EQ(b.At({{10, 10}, {14, 12}}), (std::vector{kWhite, kBlack}));
  b.MoveTo(14, 12);  // a corner above and left of the pen spans the same box
  b.Cmd(0x04, 5, 5);
  EXPECT_EQ(b.Count(kBlack), 640 * 446);
  // Circle at (50, 20), radius 10 from the pen; radius 0 draws nothing.
  GraphicsEngine c;
  c.MoveTo(40, 20);
  c.Cmd(0x07, 25, 10);
  EXPECT_EQ(c.At({{40, 20}, {59, 20}, {60, 20}}),
            (std::vector{c.Entry(0), c.Entry(0), kBlack}));
  c.MoveTo(98, 100);
  c.Cmd(0x27, 49, 50);  // (99, 100), r = 1
  c.Cmd(0x07, 49, 50);  // (98, 100), r = 0
  EXPECT_EQ(c.At({{98, 100}, {99, 100}, {100, 100}}),
            (std::vector{kBlack, c.Entry(0), kBlack}));
}

TEST(Graphics, MousePointerShapeAndTwiceRestores) {
  GraphicsEngine e;
  e.Cmd(0x06, 10, 10);  // tip at (20, 20)
  // 7x2 bar, 2x4 stem, two diagonals of five: 14 + 8 + 10 pixels.
  EXPECT_EQ(e.Count(kWhite), 32);
  EXPECT_EQ(e.At({{20, 20}, {26, 21}, {21, 25}, {27, 26}, {26, 26}, {22, 23}}),
            (std::vector{kWhite, kWhite, kWhite, kWhite, kWhite, kBlack}));
  e.Cmd(0x06, 10, 10);  // drawn by inverting: twice leaves no trace
  EXPECT_EQ(e.Count(kBlack), 640 * 446);
}

TEST(Graphics, FrameHasCutCornersAndFillStaysInside) {
  GraphicsEngine e;
  e.MoveTo(10, 10);
  e.Cmd(0x08, 10, 10);  // to (20, 20)
  EXPECT_EQ(e.At({{10, 10}, {20, 20}, {12, 10}, {19, 11}, {10, 15}, {15, 15}}),
            (std::vector{kBlack, kBlack, kWhite, kWhite, kWhite, kBlack}));
  // Four sides of 7 plus four diagonal corners of one inner pixel each.
  EXPECT_EQ(e.Count(kWhite), 4 * 7 + 4);
  e.Feed(Bytes{12, 2});
  e.Cmd(0x0E, 7, 7);  // fill at (14, 14)
  EXPECT_EQ(e.Count(0x0000FF), 9 * 9 - 4);
  EXPECT_EQ(e.Count(kWhite), 4 * 7 + 4);
}

TEST(Graphics, BitPatternScrollCursorAndCodesWithoutMeaning) {
  GraphicsEngine e;
  e.MoveTo(30, 40);
  e.Cmd(0x0A, 0x81, 0x00);  // X8 = 0x81: top and bottom of column 30
  e.Cmd(0x3A, 0x00, 0x02);  // bits 4 and 5 play no part; Y8 bit 1
  EXPECT_EQ(e.At({{30, 40}, {30, 47}, {33, 41}}),
            (std::vector{kWhite, kWhite, kWhite}));
  EXPECT_EQ(e.Count(kWhite), 3);
  EXPECT_EQ(e.Pen(), (Point{34, 40}));
  GraphicsEngine s;
  s.Cmd(0x01, 5, 5);     // (10, 10)
  s.Cmd(0x1B, 0, 0xF7);  // dy = 495 - 512 = -17: down one text row
  s.Cmd(0x0B, 3, 0);     // dx = 6: left by 6
  s.Cmd(0x2B, 0xFF, 0);  // dx = 511 - 512 = -1: right by one
  EXPECT_EQ(s.Px(5, 27), kWhite);
  EXPECT_EQ(s.Count(kWhite), 1);
  s.Cmd(0x0C, 85, 30);
  EXPECT_EQ(s.Cursor(), std::pair(5, 5));
  const Raster before = s.screen.image;
  for (int k : {0x0D, 0x0F, 0x80, 0x83, 0x8F}) s.Cmd(k, 10, 10);
  EXPECT_EQ(s.screen.image, before);
  EXPECT_EQ(s.Pen(), (Point{10, 10}));
  EXPECT_TRUE(s.port.writes.empty());
}

}  // namespace
}  // namespace kestrix::test
