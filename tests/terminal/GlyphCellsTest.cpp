// The decoder's glyph cells against PutGlyph, the plain way of drawing one:
// the same pixels and cursor for every colour, inverse video, ring position
// and sheet.
#include <gtest/gtest.h>

#include "terminal/GlyphCells.h"

namespace kestrix::test {
namespace {

Raster Sheet(bool twoTone) {
  Raster sheet(256, 136, kWhite);
  for (int y = 0; y < 136; ++y) {
    for (int x = 0; x < 256; ++x) {
      if ((x * 7 + y * 3) % 5 < 2) sheet.At(x, y) = kBlack;
    }
  }
  if (!twoTone) sheet.At(9, 20) = 0x808080;
  return sheet;
}

TEST(GlyphCells, DrawWhatPutGlyphDraws) {
  for (const bool twoTone : {true, false}) {
    const Raster sheet = Sheet(twoTone);
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
      ASSERT_EQ(fast.CursorColumn, plain.CursorColumn);
      ASSERT_EQ(fast.CursorRow, plain.CursorRow);
    }
  }
}

}  // namespace
}  // namespace kestrix::test
