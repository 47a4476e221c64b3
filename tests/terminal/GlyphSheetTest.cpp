// The embedded glyph sheet and logo, and the checks made when loading them.
#include <gtest/gtest.h>

#include "PngBytes.h"
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
  std::string error;
  const auto images = LoadEmbeddedImages(&error);
  ASSERT_TRUE(images.has_value()) << error;
  const auto glyph = [&](int code) { return CellOf(images->glyphSheet, code); };
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
  // Symbols, ASCII, line pieces and Latin-1 letters are told apart.
  std::vector<std::string> seen;
  for (int code = 13; code <= 255; ++code) {
    if (code >= 160 && code < 192) continue;
    for (const std::string& other : seen) EXPECT_NE(glyph(code), other) << code;
    seen.push_back(glyph(code));
  }
  EXPECT_EQ(images->logo.At(0, 0), kBlack);
  EXPECT_NE(images->logo, Raster(210, 85));  // not all black
}

testpng::Bytes GreyPng(std::uint32_t width, std::uint32_t height,
                       std::uint16_t level) {
  return testpng::Png(
      width, height, 8, testpng::kGrey,
      std::vector(height, std::vector<std::uint16_t>(width, level)));
}

TEST(EmbeddedImagesTest, ChecksTheShapesAndSaysWhichImageIsWrong) {
  std::string error;
  const auto images = LoadEmbeddedImages(GreyPng(256, 136, 0xFF),
                                         GreyPng(210, 85, 0x40), &error);
  ASSERT_TRUE(images.has_value()) << error;
  EXPECT_EQ(images->glyphSheet.At(255, 135), kWhite);
  EXPECT_EQ(images->logo.At(209, 84), 0x404040u);
  EXPECT_FALSE(LoadEmbeddedImages(GreyPng(256, 136, 0x80), {}, &error));
  EXPECT_EQ(error, "glyph sheet: holds colours other than black and white");
  EXPECT_FALSE(
      LoadEmbeddedImages(GreyPng(256, 136, 0), GreyPng(85, 210, 0), &error));
  EXPECT_EQ(error, "logo: is 85x210 pixels, expected 210x85");
  EXPECT_FALSE(LoadEmbeddedImages(GreyPng(256, 135, 0), {}, &error));
  EXPECT_EQ(error, "glyph sheet: is 256x135 pixels, expected 256x136");
}

}  // namespace
}  // namespace kestrix
