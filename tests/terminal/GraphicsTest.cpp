// Escape commands 5, K, X8, Y8 drawing on the screen image. The painter's
// own pixel rules are proven beside it; here: coordinates, pen, colours.
#include <gtest/gtest.h>

#include <algorithm>

#include "EngineHarness.h"

namespace kestrix::test {
namespace {

struct GraphicsRig : EngineRig {
  GraphicsRig() : EngineRig(/*deviceMode=*/true) { CursorOff(); }
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
};

TEST(Graphics, PlotCoordinatesColourAndQueries) {
  GraphicsRig e;
  e.Cmd(0x31, 100, 50);  // bit 5 adds 1 to x, bit 4 to y
  EXPECT_EQ(e.Px(201, 101), e.Entry(0));
  e.Cmd(0x41, 1, 1);  // bit 6 plays no part
  EXPECT_EQ(e.Px(2, 2), e.Entry(0));
  // Off the 446-row image nothing is drawn and a query answers FF.
  e.Cmd(0x01, 255, 255);
  EXPECT_EQ(e.Count(kBlack), 640 * 446 - 2);
  EXPECT_EQ(e.Cmd(0x09, 255, 255).ReplyByte, 0xFF);
  EXPECT_EQ(e.Cmd(0x01, 1, 1).ReplyByte, 0);  // handed over once only
  // The drawing colour ignores inverse video (entry 5 is green).
  e.Feed(Bytes{12, 13});
  e.Cmd(0x01, 10, 10);
  EXPECT_EQ(e.Px(20, 20), 0x00FF00u);
}

TEST(Graphics, ShapesFromThePen) {
  GraphicsRig e;
  e.MoveTo(10, 10);
  e.Cmd(0x02, 10, 5);  // line to (20, 10), which becomes the pen
  EXPECT_EQ(e.Count(e.Entry(0)), 11);
  e.Cmd(0x02, 10, 10);  // on from there to (20, 20)
  EXPECT_EQ(e.Count(e.Entry(0)), 21);
  e.MoveTo(10, 20);
  e.Cmd(0x03, 7, 11);                  // box (10,20)-(14,22): the pen stays
  e.Cmd(0x04, 6, 10);                  // black box (10,20)-(12,20)
  e.Cmd(0x05, 7, 11);                  // complement (10,20)-(14,22)
  EXPECT_EQ(e.Count(kWhite), 21 + 3);  // the lines, the black box inverted
  EXPECT_EQ(e.Px(10, 20), kWhite);
  e.MoveTo(40, 40);  // circle at (50, 40), radius 10 from the pen
  e.Cmd(0x07, 25, 20);
  EXPECT_EQ(e.Px(40, 40), e.Entry(0));
  EXPECT_EQ(e.Px(60, 40), kBlack);
  e.MoveTo(98, 100);
  e.Cmd(0x27, 49, 50);  // (99, 100), r = 1: one pixel
  EXPECT_EQ(e.Px(99, 100), e.Entry(0));
  EXPECT_EQ(e.Px(100, 100), kBlack);
}

TEST(Graphics, PointerFrameAndFill) {
  GraphicsRig e;
  e.Cmd(0x06, 10, 10);  // tip at (20, 20): 14 + 8 + 10 pixels inverted
  EXPECT_EQ(e.Count(kWhite), 32);
  EXPECT_EQ(e.Px(20, 20), kWhite);
  e.Cmd(0x06, 10, 10);  // twice leaves no trace
  EXPECT_EQ(e.Count(kBlack), 640 * 446);
  e.MoveTo(10, 10);
  e.Cmd(0x08, 10, 10);  // to (20, 20): sides of 7, four cut corners
  EXPECT_EQ(e.Count(kWhite), 4 * 7 + 4);
  EXPECT_EQ(e.Px(10, 10), kBlack);
  e.Feed(Bytes{12, 2});
  e.Cmd(0x0E, 7, 7);  // fill at (14, 14) stays inside
  EXPECT_EQ(e.Count(0x0000FF), 9 * 9 - 4);
  // Outside: the rest of the screen, however large; again, or off the
  // image, nothing changes.
  for (int x8 : {0, 0, 255}) e.Cmd(0x0E, x8, 200);
  EXPECT_EQ(e.Count(0x0000FF), 640 * 446 - 4 * 7 - 4);
}

TEST(Graphics, BitPatternScrollCursorAndCodesWithoutMeaning) {
  GraphicsRig e;
  e.MoveTo(30, 40);
  e.Cmd(0x0A, 0x81, 0x00);  // X8 = 0x81: top and bottom of column 30
  e.Cmd(0x3A, 0x00, 0x02);  // bits 4 and 5 play no part; Y8 bit 1
  EXPECT_EQ(e.Px(30, 40) & e.Px(30, 47) & e.Px(33, 41), kWhite);
  EXPECT_EQ(e.Count(kWhite), 3);
  GraphicsRig s;
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
  EXPECT_TRUE(s.port.writes.empty());
}

}  // namespace
}  // namespace kestrix::test
