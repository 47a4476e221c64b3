#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

#include "EngineHarness.h"
#include "terminal/EmbeddedImages.h"
#include "terminal/GlyphCells.h"
#include "terminal/Painter.h"

namespace kestrix::test {
namespace {

struct GraphicsRig : EngineRig {
  GraphicsRig() : EngineRig(/*deviceMode=*/true) {}
  ChunkResult Cmd(int k, int x8, int y8) {
    return Feed(Bytes{5, std::uint8_t(k), std::uint8_t(x8), std::uint8_t(y8)});
  }
  void MoveTo(int x, int y) { Cmd(0x00, x / 2, y / 2); }  // even x, y only
  long Count(Colour c) const {
    return std::ranges::count(screen.image.pixels(), c);
  }
};

TEST(Graphics, PlotCoordinatesColourAndQueries) {
  GraphicsRig e;
  // A clear blanks the text area, (3, 424), but not the strip, (3, 425).
  e.Feed(Bytes{5, 0x21, 1, 212, 5, 0x31, 1, 212, 0});
  EXPECT_EQ(e.Count(kBlack), 640 * 446 - 1);
  EXPECT_EQ(e.Px(3, 425), kWhite);
  e.Cmd(0x31, 100, 50);  // bit 5 adds 1 to x, bit 4 to y
  EXPECT_EQ(e.Px(201, 101), e.Entry(0));
  e.Cmd(0x41, 1, 1);  // bit 6 plays no part
  EXPECT_EQ(e.Px(2, 2), e.Entry(0));
  // Off the 446-row image nothing is drawn and a query answers FF.
  e.Cmd(0x01, 255, 255);
  EXPECT_EQ(e.Count(kBlack), 640 * 446 - 3);
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
  e.MoveTo(60, 40);  // circle at (50, 40), radius |50 - 60| from the pen
  e.Cmd(0x07, 25, 20);
  EXPECT_EQ(e.Px(40, 40), e.Entry(0));
  EXPECT_EQ(e.Px(60, 40), kBlack);
  const long drawn = e.Count(e.Entry(0));
  e.MoveTo(98, 100);
  e.Cmd(0x27, 49, 50);  // (99, 100), r = 1: one pixel
  EXPECT_EQ(e.Px(99, 100), e.Entry(0));
  EXPECT_EQ(e.Count(e.Entry(0)), drawn + 1);
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

TEST(ScreenRendering, GlyphColoursInverseVideoAndTheCursorMark) {
  EngineRig e;
  // Bit 3 (8 aside) draws entry (code & 7) inverted, on white paper.
  e.Feed(Bytes{'A', 12, 2, 'B', 12, 9, 'x', 12, 8, 'y', 12, 250, 'z'});
  e.Feed(Bytes{' ', 12, 3, ' '});
  EXPECT_TRUE(e.CellShows(0, 0, 'A', e.Entry(0), kBlack));
  EXPECT_TRUE(e.CellShows(1, 0, 'B', 0x0000FF, kBlack));
  EXPECT_TRUE(e.CellShows(2, 0, 'x', 0x0000FF, kWhite));
  EXPECT_TRUE(e.CellShows(3, 0, 'y', kWhite, kBlack));
  EXPECT_TRUE(e.CellShows(4, 0, 'z', 0xFFFF00, kWhite));
  EXPECT_TRUE(e.CellShows(5, 0, ' ', kBlack, kWhite));
  EXPECT_TRUE(e.CellShows(6, 0, ' ', kBlack, kBlack));
  EngineRig d(/*deviceMode=*/true);  // the cursor mark
  d.options.TxtCurs = 1;
  d.Feed("ab");
  // Cursor at column 2, row 0: pixels x 16, 18, 20, 22 of row 16 are white.
  for (int x = 16; x < 24; ++x)
    EXPECT_EQ(d.Px(x, 16), x % 2 == 0 ? kWhite : kBlack) << x;
  // A pixel query on a cursor dot sees it erased: black answers 0xFE.
  EXPECT_EQ(d.Feed(Bytes{5, 0x09, 8, 8}).ReplyByte, 0xFE);  // at (16, 16)
  d.options.TxtCurs = 0;
  d.Feed("c");
  for (int x = 24; x < 32; ++x) EXPECT_EQ(d.Px(x, 16), kBlack);
}

TEST(GlyphCells, DrawWhatPutGlyphDraws) {
  for (const bool twoTone : {true, false}) {
    Raster sheet = MakeTestSheet();
    if (!twoTone) sheet.At(9, 20) = 0x808080;
    GlyphCells cells(sheet);
    TerminalScreen fast;
    CreateScreenImage(fast, 5, 3, /*withStrip=*/true);
    TerminalScreen plain = fast;
    // Wrapping text scrolls the ring round, so cells land across its end.
    for (int i = 0; i < 200; ++i) {
      const int code = (i * 37) % 256;
      const Colour colour = kStartPalette[static_cast<std::size_t>(i % 8)];
      fast.TextColour = plain.TextColour = i % 3 == 0 ? 9 + i % 7 : i % 8;
      cells.Put(fast, code, colour);
      PutGlyph(plain, sheet, code, colour);
      ASSERT_TRUE(fast.image == plain.image)
          << (twoTone ? "two-tone" : "grey") << " sheet, glyph " << i;
      ASSERT_EQ(std::pair(fast.CursorColumn, fast.CursorRow),
                std::pair(plain.CursorColumn, plain.CursorRow));
    }
  }
}

// Rows of the w x h area at (x0, y0), split by spaces: marks[0] for black,
// marks[1] for white, marks[2] for any other colour.
std::string Art(const Raster& r, int x0, int y0, int w, int h,
                const char* marks) {
  std::string out;
  for (int y = y0; y < y0 + h; ++y) {
    if (y > y0) out += ' ';
    for (int x = x0; x < x0 + w; ++x) {
      const Colour c = r.At(x, y);
      out += marks[c == kBlack ? 0 : c == kWhite ? 1 : 2];
    }
  }
  return out;
}

TEST(GlyphSheetTest, GlyphsSitAtTheirCellsAndDiffer) {
  const LoadedImages loaded = LoadEmbeddedImages();
  ASSERT_TRUE(loaded.images.has_value()) << loaded.error;
  const EmbeddedImages& images = *loaded.images;
  const auto glyph = [&](int code) {
    return Art(images.glyphSheet, code % 32 * 8, code / 32 * 17, 8, 17, "#.?");
  };
  EXPECT_EQ(glyph('A'),
            "........ ........ ........ ........ ...##... ..#..#.. ..#..#.. "
            ".#....#. .#....#. .######. .#....#. .#....#. .#....#. .#....#. "
            "........ ........ ........");
  // Control codes share one visible ring; only the two spaces are blank.
  for (int code = 1; code <= 13; ++code) EXPECT_EQ(glyph(code), glyph(0));
  for (int code = 0; code < 256; ++code) {
    EXPECT_EQ(glyph(code).find('#') != std::string::npos,
              code != 32 && code != 160)
        << code;
  }
  EXPECT_NE(images.logo, Raster(210, 85));  // not all black
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
    EXPECT_EQ(Art(r, 0, 0, v[0], v[1], ".##"), row.expected) << row.name;
  }
}

}  // namespace
}  // namespace kestrix::test
