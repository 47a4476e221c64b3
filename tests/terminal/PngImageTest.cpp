#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "PngBytes.h"
#include "terminal/PngImage.h"

namespace kestrix {
namespace {

using testpng::Bytes;
using testpng::Image;
using Samples = std::vector<std::vector<std::uint16_t>>;

Colour Rgb(unsigned r, unsigned g, unsigned b) { return r | g << 8 | b << 16; }

std::vector<Colour> PixelsOf(const Bytes& png) {
  std::string error;
  const std::optional<Raster> raster = DecodePng(png, &error);
  EXPECT_TRUE(raster.has_value()) << error;
  return raster ? raster->pixels() : std::vector<Colour>{};
}

Image Make(std::uint32_t width, std::uint32_t height, std::uint8_t depth,
           std::uint8_t type, const Samples& rows) {
  Image image;
  image.width = width;
  image.height = height;
  image.bit_depth = depth;
  image.colour_type = type;
  image.scanlines = testpng::Scanlines(rows, depth);
  return image;
}

// A 3x2 palette image, used as the base of the corruption tests.
Bytes SmallPalettePng() {
  Image image = Make(3, 2, 8, testpng::kPalette, {{0, 1, 2}, {2, 1, 0}});
  image.palette = {0x12, 0x34, 0x56, 0xFF, 0x00, 0x00, 0x00, 0x00, 0xFF};
  return testpng::Encode(image);
}

TEST(PngImageTest, PaletteImagesOfEveryDepthGiveColourReferences) {
  // Colour references hold red in the lowest byte.
  const Bytes palette = {0x12, 0x34, 0x56, 0xFF, 0x00, 0x00,
                         0x00, 0x00, 0xFF, 0xAB, 0xCD, 0xEF};
  const std::vector<Colour> entry = {0x563412, 0x0000FF, 0xFF0000, 0xEFCDAB};
  for (std::uint8_t depth : {1, 2, 4, 8}) {
    SCOPED_TRACE(depth);
    const unsigned entries = depth == 1 ? 2 : 4;
    // Five pixels per row so that rows end inside a byte at small depths.
    Samples rows = {{0, 1, 0, 1, 1}, {1, 0, 1, 0, 0}};
    if (entries == 4) rows = {{0, 1, 2, 3, 2}, {3, 2, 1, 0, 3}};
    Image image = Make(5, 2, depth, testpng::kPalette, rows);
    image.palette.assign(palette.begin(), palette.begin() + 3 * entries);
    std::vector<Colour> expected;
    for (const auto& row : rows) {
      for (std::uint16_t index : row) expected.push_back(entry[index]);
    }
    EXPECT_EQ(PixelsOf(testpng::Encode(image)), expected);
  }
}

TEST(PngImageTest, PaletteTransparencyIsIgnored) {
  Image image = Make(2, 1, 8, testpng::kPalette, {{0, 1}});
  image.palette = {0x10, 0x20, 0x30, 0x40, 0x50, 0x60};
  image.transparency = {0x00, 0x80};
  EXPECT_EQ(PixelsOf(testpng::Encode(image)),
            (std::vector<Colour>{0x302010, 0x605040}));
}

TEST(PngImageTest, GreyAndRgbTransparencyIsIgnored) {
  Image grey = Make(3, 1, 2, testpng::kGrey, {{0, 1, 3}});
  grey.transparency = {0x00, 0x01};  // grey level 1 is transparent
  EXPECT_EQ(PixelsOf(testpng::Encode(grey)),
            (std::vector<Colour>{0x000000, 0x555555, 0xFFFFFF}));

  Image grey8 = Make(2, 1, 8, testpng::kGrey, {{0x20, 0x90}});
  grey8.transparency = {0x00, 0x90};
  EXPECT_EQ(PixelsOf(testpng::Encode(grey8)),
            (std::vector<Colour>{0x202020, 0x909090}));

  Image rgb = Make(2, 1, 8, testpng::kRgb, {{1, 2, 3, 4, 5, 6}});
  rgb.transparency = {0, 4, 0, 5, 0, 6};
  EXPECT_EQ(PixelsOf(testpng::Encode(rgb)),
            (std::vector<Colour>{0x030201, 0x060504}));
}

TEST(PngImageTest, GreyImagesOfEveryDepthSpreadToFullRange) {
  struct Case {
    std::uint8_t depth;
    std::vector<std::uint16_t> samples;
    std::vector<unsigned> levels;  // 8-bit grey expected for each sample
  };
  const std::vector<Case> cases = {
      {1, {0, 1, 1}, {0x00, 0xFF, 0xFF}},
      {2, {0, 1, 2, 3}, {0x00, 0x55, 0xAA, 0xFF}},
      {4, {0, 1, 7, 15, 9}, {0x00, 0x11, 0x77, 0xFF, 0x99}},
      {8, {0, 0x7F, 0xFE}, {0x00, 0x7F, 0xFE}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.depth));
    const auto width = static_cast<std::uint32_t>(c.samples.size());
    std::vector<Colour> expected;
    for (unsigned level : c.levels)
      expected.push_back(Rgb(level, level, level));
    EXPECT_EQ(PixelsOf(testpng::Encode(
                  Make(width, 1, c.depth, testpng::kGrey, {c.samples}))),
              expected);
  }
}

TEST(PngImageTest, SixteenBitSamplesAreRoundedToEightBits) {
  // Rounding, not truncation: 0x12AB is 18.6 in 8-bit terms and becomes 19.
  const std::vector<std::uint16_t> values = {0x0000, 0x12AB, 0x807F,
                                             0x8080, 0xFEFF, 0xFFFF};
  auto to8 = [](std::uint16_t v) {
    return static_cast<unsigned>(std::lround(v * 255.0 / 65535.0));
  };
  std::vector<Colour> grey_expected;
  for (std::uint16_t v : values)
    grey_expected.push_back(Rgb(to8(v), to8(v), to8(v)));
  EXPECT_EQ(PixelsOf(testpng::Encode(Make(6, 1, 16, testpng::kGrey, {values}))),
            grey_expected);

  const Samples rgb = {{0x12AB, 0x0000, 0xFFFF, 0x807F, 0x8080, 0xFEFF}};
  EXPECT_EQ(PixelsOf(testpng::Encode(Make(2, 1, 16, testpng::kRgb, rgb))),
            (std::vector<Colour>{Rgb(to8(0x12AB), 0, 0xFF),
                                 Rgb(to8(0x807F), to8(0x8080), to8(0xFEFF))}));
}

TEST(PngImageTest, RgbAndAlphaImagesKeepTheirColoursAndDropAlpha) {
  const Samples rgb = {{0x11, 0x22, 0x33, 0xFF, 0x00, 0x80},
                       {0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF}};
  EXPECT_EQ(PixelsOf(testpng::Encode(Make(2, 2, 8, testpng::kRgb, rgb))),
            (std::vector<Colour>{0x332211, 0x8000FF, 0x000000, 0xFFFFFF}));

  // A fully transparent pixel still yields its colour.
  const Samples rgba = {{0x11, 0x22, 0x33, 0x00, 0xFF, 0x00, 0x80, 0xFF}};
  EXPECT_EQ(PixelsOf(testpng::Encode(Make(2, 1, 8, testpng::kRgba, rgba))),
            (std::vector<Colour>{0x332211, 0x8000FF}));

  const Samples grey_alpha = {{0x40, 0x00, 0xC0, 0xFF}};
  EXPECT_EQ(
      PixelsOf(testpng::Encode(Make(2, 1, 8, testpng::kGreyAlpha, grey_alpha))),
      (std::vector<Colour>{0x404040, 0xC0C0C0}));

  const Samples rgba16 = {{0xFFFF, 0x0000, 0x8080, 0x0000}};
  EXPECT_EQ(PixelsOf(testpng::Encode(Make(1, 1, 16, testpng::kRgba, rgba16))),
            (std::vector<Colour>{Rgb(0xFF, 0x00, 0x80)}));
}

TEST(PngImageTest, InterlacedImageIsReassembled) {
  // Adam7: seven passes, each a sub-image on its own grid.
  constexpr int kStartX[] = {0, 4, 0, 2, 0, 1, 0};
  constexpr int kStartY[] = {0, 0, 4, 0, 2, 0, 1};
  constexpr int kStepX[] = {8, 8, 4, 4, 2, 2, 1};
  constexpr int kStepY[] = {8, 8, 8, 4, 4, 2, 2};
  constexpr int kSize = 9;
  auto grey_at = [](int x, int y) {
    return static_cast<std::uint16_t>(y * 16 + x);
  };
  Image image;
  image.width = kSize;
  image.height = kSize;
  image.colour_type = testpng::kGrey;
  image.interlace = 1;
  for (int pass = 0; pass < 7; ++pass) {
    Samples rows;
    for (int y = kStartY[pass]; y < kSize; y += kStepY[pass]) {
      rows.emplace_back();
      for (int x = kStartX[pass]; x < kSize; x += kStepX[pass]) {
        rows.back().push_back(grey_at(x, y));
      }
    }
    const Bytes lines = testpng::Scanlines(rows, 8);
    image.scanlines.insert(image.scanlines.end(), lines.begin(), lines.end());
  }
  std::vector<Colour> expected;
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      const unsigned g = grey_at(x, y);
      expected.push_back(Rgb(g, g, g));
    }
  }
  EXPECT_EQ(PixelsOf(testpng::Encode(image)), expected);
}

TEST(PngImageTest, RasterHasTheImageDimensions) {
  std::string error;
  const auto raster = DecodePng(SmallPalettePng(), &error);
  ASSERT_TRUE(raster.has_value()) << error;
  EXPECT_EQ(raster->width(), 3);
  EXPECT_EQ(raster->height(), 2);
  EXPECT_EQ(raster->At(2, 0), 0xFF0000u);
  EXPECT_EQ(raster->At(0, 1), 0xFF0000u);
}

TEST(PngImageTest, NonPngInputIsRefused) {
  Bytes png = SmallPalettePng();
  png[1] = 'Q';
  const std::vector<Bytes> inputs = {
      {},
      {0x89, 'P', 'N', 'G'},
      png,
      Bytes(100, 0),
      Bytes{'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0}};
  for (const Bytes& input : inputs) {
    std::string error;
    EXPECT_FALSE(DecodePng(input, &error).has_value());
    EXPECT_FALSE(error.empty());
  }
  EXPECT_FALSE(DecodePng(png, nullptr).has_value());
}

TEST(PngImageTest, EveryTruncationIsAnError) {
  const Bytes png = SmallPalettePng();
  ASSERT_TRUE(DecodePng(png, nullptr).has_value());
  for (std::size_t length = 0; length < png.size(); ++length) {
    SCOPED_TRACE(length);
    // A copy of exactly that length, so the sanitizer sees any overread.
    const Bytes cut(png.begin(), png.begin() + static_cast<long>(length));
    std::string error;
    EXPECT_FALSE(DecodePng(cut, &error).has_value());
    EXPECT_FALSE(error.empty());
  }
}

TEST(PngImageTest, EveryFlippedByteIsAnError) {
  const Bytes png = SmallPalettePng();
  for (std::size_t pos = 0; pos < png.size(); ++pos) {
    for (std::uint8_t mask : {0x01, 0x80, 0xFF}) {
      SCOPED_TRACE(testing::Message() << "byte " << pos << " mask " << +mask);
      Bytes bad = png;
      bad[pos] ^= mask;
      std::string error;
      EXPECT_FALSE(DecodePng(bad, &error).has_value());
      EXPECT_FALSE(error.empty());
    }
  }
}

TEST(PngImageTest, OversizedOrEmptyDimensionsAreRefused) {
  const std::vector<std::pair<std::uint32_t, std::uint32_t>> sizes = {
      {8193, 1},
      {1, 8193},
      {100000, 100000},
      {0x7FFFFFFF, 1},
      {0xFFFFFFFF, 0xFFFFFFFF},
      {0, 1},
      {1, 0}};
  for (const auto& [width, height] : sizes) {
    SCOPED_TRACE(testing::Message() << width << "x" << height);
    Image image = Make(width, height, 8, testpng::kRgb, {{1, 2, 3}});
    std::string error;
    EXPECT_FALSE(DecodePng(testpng::Encode(image), &error).has_value());
    EXPECT_FALSE(error.empty());
  }
}

TEST(PngImageTest, LargestAllowedWidthDecodes) {
  Samples row(1);
  for (int x = 0; x < kMaxPngDimension; ++x) {
    row[0].insert(row[0].end(), {static_cast<std::uint16_t>(x & 0xFF), 0, 0});
  }
  std::string error;
  const auto raster = DecodePng(
      testpng::Encode(Make(kMaxPngDimension, 1, 8, testpng::kRgb, row)),
      &error);
  ASSERT_TRUE(raster.has_value()) << error;
  EXPECT_EQ(raster->width(), kMaxPngDimension);
  EXPECT_EQ(raster->At(kMaxPngDimension - 1, 0), 0xFFu);
}

TEST(PngImageTest, HeaderPromisingFarMoreThanTheDataHoldsIsRefused) {
  // Within the size limit, but 8192x8192 RGB cannot come from a few bytes of
  // zlib data; refusing early avoids allocating for it.
  Image image = Make(8192, 8192, 8, testpng::kRgb, {{1, 2, 3}});
  std::string error;
  EXPECT_FALSE(DecodePng(testpng::Encode(image), &error).has_value());
  EXPECT_FALSE(error.empty());
}

TEST(PngImageTest, MissingImageDataIsAnError) {
  Image image = Make(2, 2, 8, testpng::kRgb, {{1, 2, 3, 4, 5, 6}});  // one row
  std::string error;
  EXPECT_FALSE(DecodePng(testpng::Encode(image), &error).has_value());
  EXPECT_FALSE(error.empty());
}

TEST(PngImageTest, PaletteIndexBeyondThePaletteDoesNotReadOutsideIt) {
  Image image = Make(2, 1, 8, testpng::kPalette, {{1, 200}});
  image.palette = {0, 0, 0, 0x10, 0x20, 0x30};
  std::string error;
  const auto raster = DecodePng(testpng::Encode(image), &error);
  if (raster) {
    EXPECT_EQ(raster->At(0, 0), 0x302010u);
    EXPECT_EQ(raster->At(1, 0), kBlack);
  } else {
    EXPECT_FALSE(error.empty());
  }
}

}  // namespace
}  // namespace kestrix
