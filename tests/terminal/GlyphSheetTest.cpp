// The embedded glyph sheet and logo.
#include <gtest/gtest.h>

#include "terminal/EmbeddedImages.h"

namespace kestrix {
namespace {

// A cell as 17 rows of '#' (black ink), '.' (white paper) or '?'.
std::string CellOf(const Raster& sheet, int code) {
  std::string cell;
  for (int y = 0; y < 17; ++y) {
    if (y > 0) cell += ' ';
    for (int x = 0; x < 8; ++x) {
      const Colour c = sheet.At(code % 32 * 8 + x, code / 32 * 17 + y);
      cell += c == kBlack ? '#' : (c == kWhite ? '.' : '?');
    }
  }
  return cell;
}

TEST(GlyphSheetTest, GlyphsSitAtTheirCellsAndDiffer) {
  const LoadedImages loaded = LoadEmbeddedImages();
  ASSERT_TRUE(loaded.images.has_value()) << loaded.error;
  const EmbeddedImages& images = *loaded.images;
  const auto glyph = [&](int code) { return CellOf(images.glyphSheet, code); };
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

}  // namespace
}  // namespace kestrix
