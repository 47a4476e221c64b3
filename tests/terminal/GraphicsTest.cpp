// Escape commands 5, K, X8, Y8 drawing on the screen image.
#include <gtest/gtest.h>

#include "EngineHarness.h"

namespace kestrix::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct GraphicsEngine : Engine {
  GraphicsEngine() : Engine(/*deviceMode=*/true) { CursorOff(); }
  void Cmd(int k, int x8, int y8) {
    Feed(Bytes{5, static_cast<std::uint8_t>(k), static_cast<std::uint8_t>(x8),
               static_cast<std::uint8_t>(y8)});
  }
  // Moves the pen to even coordinates (x, y).
  void MoveTo(int x, int y) { Cmd(0x00, x / 2, y / 2); }
  int CountColour(Colour c) const {
    int n = 0;
    for (Colour p : screen.image.pixels()) n += p == c;
    return n;
  }
};

TEST(Graphics, PlotUsesTheLowCoordinateBitsOfTheCommandByte) {
  GraphicsEngine e;
  e.Cmd(0x31, 100, 50);  // bit 5 adds 1 to x, bit 4 to y
  EXPECT_EQ(e.Px(201, 101), e.Entry(0));
  EXPECT_EQ(e.CountColour(e.Entry(0)), 1);
  EXPECT_EQ(e.decoder.graphics.LastPoint, (Point{201, 101}));
  // Bit 6 plays no part.
  e.Cmd(0x41, 1, 1);
  EXPECT_EQ(e.Px(2, 2), e.Entry(0));
}

TEST(Graphics, DrawingColourIgnoresInverseVideo) {
  GraphicsEngine e;
  e.Feed(Bytes{12, 13});  // entry 5, inverse video for text only
  e.Cmd(0x01, 10, 10);
  EXPECT_EQ(e.Px(20, 20), 0x00FF00u);
}

TEST(Graphics, OffImageCoordinatesDrawNothingAndQueryAnswersFF) {
  GraphicsEngine e;
  e.Cmd(0x01, 255, 255);  // (510, 510) lies below the 446-row image
  EXPECT_EQ(e.CountColour(kBlack), 640 * 446);
  e.Cmd(0x09, 255, 255);
  EXPECT_EQ(e.decoder.graphics.ReplyByte, 0xFF);
}

TEST(Graphics, LineIncludesBothEndsAndMovesThePen) {
  GraphicsEngine e;
  e.MoveTo(10, 10);
  e.Cmd(0x02, 10, 5);  // to (20, 10)
  for (int x = 10; x <= 20; ++x) EXPECT_EQ(e.Px(x, 10), e.Entry(0)) << x;
  EXPECT_EQ(e.CountColour(e.Entry(0)), 11);
  EXPECT_EQ(e.decoder.graphics.LastPoint, (Point{20, 10}));
}

TEST(Graphics, BoxesFromThePenToThePoint) {
  GraphicsEngine e;
  e.MoveTo(10, 10);
  e.Cmd(0x03, 5, 5);  // single pixel (10, 10)
  EXPECT_EQ(e.CountColour(e.Entry(0)), 1);
  e.Cmd(0x03, 7, 6);  // (10,10)-(14,12): 5 x 3
  EXPECT_EQ(e.CountColour(e.Entry(0)), 15);
  EXPECT_EQ(e.decoder.graphics.LastPoint, (Point{10, 10}));  // unchanged
  // Black box over part of it, then an inverted box.
  e.Cmd(0x04, 6, 5);  // (10,10)-(12,10)
  EXPECT_EQ(e.CountColour(e.Entry(0)), 12);
  e.Cmd(0x05, 7, 6);  // complement (10,10)-(14,12)
  EXPECT_EQ(e.CountColour(kWhite), 3);
  EXPECT_EQ(e.Px(10, 10), kWhite);
  EXPECT_EQ(e.Px(14, 12), kBlack);
  // A second corner above and left of the pen spans the same box.
  GraphicsEngine f;
  f.MoveTo(14, 12);
  f.Cmd(0x03, 5, 5);
  EXPECT_EQ(f.CountColour(f.Entry(0)), 15);
  EXPECT_EQ(f.Px(10, 10), f.Entry(0));
}

TEST(Graphics, CircleRadiusComesFromThePen) {
  GraphicsEngine e;
  e.MoveTo(40, 20);
  e.Cmd(0x07, 25, 10);  // centre (50, 20), radius 10
  EXPECT_EQ(e.Px(50, 20), e.Entry(0));
  EXPECT_EQ(e.Px(41, 20), e.Entry(0));
  EXPECT_EQ(e.Px(40, 20), e.Entry(0));
  EXPECT_EQ(e.Px(60, 20), kBlack);  // right edge of the box is excluded
  EXPECT_EQ(e.Px(50, 10), e.Entry(0));
  EXPECT_EQ(e.Px(50, 30), kBlack);
  EXPECT_EQ(e.Px(41, 11), kBlack);  // corners stay outside
  const int area = e.CountColour(e.Entry(0));
  EXPECT_GT(area, 300);  // about pi * 100
  EXPECT_LT(area, 330);
  // Radius 1 is the centre pixel alone; radius 0 draws nothing.
  GraphicsEngine f;
  f.MoveTo(98, 100);
  f.Cmd(0x27, 49, 50);  // (99, 100), r = 1
  EXPECT_EQ(f.CountColour(f.Entry(0)), 1);
  EXPECT_EQ(f.Px(99, 100), f.Entry(0));
  f.Cmd(0x07, 49, 50);  // (98, 100), r = 0
  EXPECT_EQ(f.CountColour(f.Entry(0)), 1);
}

TEST(Graphics, MousePointerTwiceRestoresThePicture) {
  GraphicsEngine e;
  e.Feed("some text");
  e.MoveTo(0, 0);
  e.Cmd(0x03, 20, 10);
  const Raster before = e.screen.image;
  e.Cmd(0x06, 5, 3);
  EXPECT_NE(e.screen.image, before);
  e.Cmd(0x06, 5, 3);
  EXPECT_EQ(e.screen.image, before);
}

TEST(Graphics, MousePointerShape) {
  GraphicsEngine e;
  e.Cmd(0x06, 10, 10);  // tip at (20, 20)
  // 7x2 bar, 2x4 stem, two diagonals of five: 14 + 8 + 10 pixels.
  EXPECT_EQ(e.CountColour(kWhite), 32);
  EXPECT_EQ(e.Px(20, 20), kWhite);
  EXPECT_EQ(e.Px(26, 21), kWhite);
  EXPECT_EQ(e.Px(21, 25), kWhite);
  EXPECT_EQ(e.Px(27, 26), kWhite);
  EXPECT_EQ(e.Px(26, 26), kWhite);
  EXPECT_EQ(e.Px(22, 23), kBlack);
}

TEST(Graphics, FrameHasCutCorners) {
  GraphicsEngine e;
  e.MoveTo(10, 10);
  e.Cmd(0x08, 10, 10);  // to (20, 20)
  EXPECT_EQ(e.Px(10, 10), kBlack);
  EXPECT_EQ(e.Px(20, 20), kBlack);
  EXPECT_EQ(e.Px(12, 10), kWhite);
  EXPECT_EQ(e.Px(18, 10), kWhite);
  EXPECT_EQ(e.Px(19, 11), kWhite);
  EXPECT_EQ(e.Px(20, 12), kWhite);
  EXPECT_EQ(e.Px(10, 15), kWhite);
  EXPECT_EQ(e.Px(15, 20), kWhite);
  EXPECT_EQ(e.Px(15, 15), kBlack);
  // Four sides of 7 (the two horizontal ones) and 7 (vertical), plus four
  // diagonal corners of one inner pixel each.
  EXPECT_EQ(e.CountColour(kWhite), 4 * 7 + 4);
}

TEST(Graphics, BitPatternLaysDownTwoColumns) {
  GraphicsEngine e;
  e.MoveTo(30, 40);
  e.Cmd(0x0A, 0x81, 0x00);  // X8 = 0x81: top and bottom of column 30
  EXPECT_EQ(e.Px(30, 40), kWhite);
  EXPECT_EQ(e.Px(30, 47), kWhite);
  EXPECT_EQ(e.CountColour(kWhite), 2);
  EXPECT_EQ(e.decoder.graphics.LastPoint, (Point{32, 40}));
  e.Cmd(0x3A, 0x00, 0x02);  // bits 4 and 5 play no part; Y8 bit 1
  EXPECT_EQ(e.Px(33, 41), kWhite);
  EXPECT_EQ(e.CountColour(kWhite), 3);
  EXPECT_EQ(e.decoder.graphics.LastPoint, (Point{34, 40}));
}

TEST(Graphics, ScrollByNineBitOffsets) {
  GraphicsEngine e;
  e.Cmd(0x01, 5, 5);     // (10, 10)
  e.Cmd(0x1B, 0, 0xF7);  // dy = 495 - 512 = -17: down one text row
  EXPECT_EQ(e.Px(10, 27), kWhite);
  EXPECT_EQ(e.Px(10, 10), kBlack);
  e.Cmd(0x0B, 3, 0);  // dx = 6: left by 6
  EXPECT_EQ(e.Px(4, 27), kWhite);
  EXPECT_EQ(e.CountColour(kWhite), 1);
  e.Cmd(0x2B, 0xFF, 0);  // dx = 511 - 512 = -1: right by one
  EXPECT_EQ(e.Px(5, 27), kWhite);
}

TEST(Graphics, TextCursorCommandAndFill) {
  GraphicsEngine e;
  e.Cmd(0x0C, 85, 30);
  EXPECT_EQ(e.screen.CursorColumn, 5);
  EXPECT_EQ(e.screen.CursorRow, 5);
  // A ring, then a fill inside it stays inside.
  e.MoveTo(100, 100);
  e.Cmd(0x08, 60, 60);  // frame to (120, 120)
  const int ring = e.CountColour(kWhite);
  e.Feed(Bytes{12, 2});
  e.Cmd(0x0E, 55, 55);  // fill at (110, 110)
  const int inside = e.CountColour(0x0000FF);
  EXPECT_GT(inside, 300);
  EXPECT_LT(inside, 21 * 21);
  EXPECT_EQ(e.CountColour(kWhite), ring);
  EXPECT_EQ(e.Px(99, 110), kBlack);
}

TEST(Graphics, TwoQueriesInAChunkLeaveTheSecondAnswer) {
  GraphicsEngine e;
  e.Cmd(0x01, 0, 0);
  e.Feed(Bytes{5, 0x09, 0, 0, 5, 0x09, 1, 1});
  EXPECT_EQ(e.decoder.graphics.ReplyByte, 0xFE);
  e.decoder.graphics.ReplyByte = 0;
  e.Feed(Bytes{5, 0x09, 1, 1, 5, 0x09, 0, 0});
  EXPECT_EQ(e.decoder.graphics.ReplyByte, 0xFF);
}

TEST(Graphics, CodesWithoutMeaningDoNothing) {
  GraphicsEngine e;
  const Raster before = e.screen.image;
  for (int k : {0x0D, 0x0F, 0x80, 0x83, 0x8F}) e.Cmd(k, 10, 10);
  EXPECT_EQ(e.screen.image, before);
  EXPECT_EQ(e.decoder.graphics.LastPoint, (Point{0, 0}));
  EXPECT_TRUE(e.port.writes.empty());
}

}  // namespace
}  // namespace kestrix::test
