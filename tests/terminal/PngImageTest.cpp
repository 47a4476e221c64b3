#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "PngBytes.h"
#include "terminal/PngImage.h"

namespace kestrix {
namespace {

using testpng::Bytes;
using testpng::Image;
using testpng::Make;
using Samples = std::vector<std::vector<std::uint16_t>>;

std::vector<Colour> PixelsOf(const Image& image) {
  std::string error;
  const std::optional<Raster> raster =
      DecodePng(testpng::Encode(image), &error);
  EXPECT_TRUE(raster.has_value()) << error;
  return raster ? raster->pixels() : std::vector<Colour>{};
}

testing::AssertionResult Refused(const Bytes& png) {
  std::string error;
  if (DecodePng(png, &error)) return testing::AssertionFailure() << "decoded";
  if (error.empty()) return testing::AssertionFailure() << "no reason given";
  return testing::AssertionSuccess();
}

Image WithChunks(Image image, Bytes palette, Bytes transparency) {
  image.palette = std::move(palette);
  image.transparency = std::move(transparency);
  return image;
}

// A 3x2 palette image, used as the base of the corruption tests.
Bytes SmallPalettePng() {
  return testpng::Encode(
      WithChunks(Make(3, 2, 8, testpng::kPalette, {{0, 1, 2}, {2, 1, 0}}),
                 {0x12, 0x34, 0x56, 0xFF, 0x00, 0x00, 0x00, 0x00, 0xFF}, {}));
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
    std::vector<Colour> expected;
    for (const auto& row : rows) {
      for (std::uint16_t index : row) expected.push_back(entry[index]);
    }
    EXPECT_EQ(PixelsOf(WithChunks(
                  Make(5, 2, depth, testpng::kPalette, rows),
                  Bytes(palette.begin(), palette.begin() + 3 * entries), {})),
              expected);
  }
  std::string error;
  const auto raster = DecodePng(SmallPalettePng(), &error);
  ASSERT_TRUE(raster.has_value()) << error;
  EXPECT_EQ(raster->width(), 3);
  EXPECT_EQ(raster->height(), 2);
  EXPECT_EQ(raster->At(2, 0), 0xFF0000u);
}

TEST(PngImageTest, GreyRgbAndAlphaImagesOfEveryDepth) {
  using testpng::kGrey, testpng::kGreyAlpha, testpng::kRgb, testpng::kRgba;
  const std::pair<Image, std::vector<Colour>> cases[] = {
      // Grey spreads to the full range.
      {Make(3, 1, 1, kGrey, {{0, 1, 1}}), {0, 0xFFFFFF, 0xFFFFFF}},
      {Make(4, 1, 2, kGrey, {{0, 1, 2, 3}}), {0, 0x555555, 0xAAAAAA, 0xFFFFFF}},
      {Make(5, 1, 4, kGrey, {{0, 1, 7, 15, 9}}),
       {0, 0x111111, 0x777777, 0xFFFFFF, 0x999999}},
      {Make(3, 1, 8, kGrey, {{0, 0x7F, 0xFE}}), {0, 0x7F7F7F, 0xFEFEFE}},
      // 16-bit samples are rounded, not truncated: 0x12AB is 18.6 -> 0x13.
      {Make(6, 1, 16, kGrey,
            {{0x0000, 0x12AB, 0x807F, 0x8080, 0xFEFF, 0xFFFF}}),
       {0, 0x131313, 0x808080, 0x808080, 0xFEFEFE, 0xFFFFFF}},
      {Make(2, 1, 16, kRgb, {{0x12AB, 0x0000, 0xFFFF, 0x807F, 0x8080, 0xFEFF}}),
       {0xFF0013, 0xFE8080}},
      {Make(
           2, 2, 8, kRgb,
           {{0x11, 0x22, 0x33, 0xFF, 0x00, 0x80}, {0, 0, 0, 0xFF, 0xFF, 0xFF}}),
       {0x332211, 0x8000FF, 0x000000, 0xFFFFFF}},
      // Alpha is dropped: a fully transparent pixel still yields its colour.
      {Make(2, 1, 8, kRgba, {{0x11, 0x22, 0x33, 0x00, 0xFF, 0x00, 0x80, 0xFF}}),
       {0x332211, 0x8000FF}},
      {Make(2, 1, 8, kGreyAlpha, {{0x40, 0x00, 0xC0, 0xFF}}),
       {0x404040, 0xC0C0C0}},
      {Make(1, 1, 16, kRgba, {{0xFFFF, 0x0000, 0x8080, 0x0000}}), {0x8000FF}},
      // So is transparency, in every colour type.
      {WithChunks(Make(2, 1, 8, testpng::kPalette, {{0, 1}}),
                  {0x10, 0x20, 0x30, 0x40, 0x50, 0x60}, {0x00, 0x80}),
       {0x302010, 0x605040}},
      {WithChunks(Make(3, 1, 2, kGrey, {{0, 1, 3}}), {}, {0x00, 0x01}),
       {0x000000, 0x555555, 0xFFFFFF}},
      {WithChunks(Make(2, 1, 8, kGrey, {{0x20, 0x90}}), {}, {0x00, 0x90}),
       {0x202020, 0x909090}},
      {WithChunks(Make(2, 1, 8, kRgb, {{1, 2, 3, 4, 5, 6}}), {},
                  {0, 4, 0, 5, 0, 6}),
       {0x030201, 0x060504}},
  };
  for (const auto& [image, expected] : cases) {
    EXPECT_EQ(PixelsOf(image), expected)
        << "type " << +image.colour_type << " depth " << +image.bit_depth;
  }
}

TEST(PngImageTest, InterlacedImageIsReassembled) {
  // Adam7: seven passes, each a sub-image on its own grid.
  constexpr int kStartX[] = {0, 4, 0, 2, 0, 1, 0};
  constexpr int kStartY[] = {0, 0, 4, 0, 2, 0, 1};
  constexpr int kStepX[] = {8, 8, 4, 4, 2, 2, 1};
  constexpr int kStepY[] = {8, 8, 8, 4, 4, 2, 2};
  Image image = Make(9, 9, 8, testpng::kGrey, {});
  image.interlace = 1;
  for (int pass = 0; pass < 7; ++pass) {
    Samples rows;
    for (int y = kStartY[pass]; y < 9; y += kStepY[pass]) {
      rows.emplace_back();
      for (int x = kStartX[pass]; x < 9; x += kStepX[pass]) {
        rows.back().push_back(static_cast<std::uint16_t>(y * 16 + x));
      }
    }
    const Bytes lines = testpng::Scanlines(rows, 8);
    image.scanlines.insert(image.scanlines.end(), lines.begin(), lines.end());
  }
  std::vector<Colour> expected;
  for (int y = 0; y < 9; ++y) {
    for (int x = 0; x < 9; ++x) expected.push_back((y * 16 + x) * 0x010101u);
  }
  EXPECT_EQ(PixelsOf(image), expected);
}

TEST(PngImageTest, MalformedInputIsRefused) {
  // Short prefixes and bad signatures come with the corruption test below.
  std::vector<Bytes> inputs = {
      Bytes(100, 0),
      {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0},
      // Image data for one row of two.
      testpng::Encode(Make(2, 2, 8, testpng::kRgb, {{1, 2, 3, 4, 5, 6}})),
  };
  // Oversized or empty; 8192 x 8192 is allowed but cannot come from a few
  // bytes of data, and refusing it early avoids allocating for it.
  for (auto [w, h] : std::vector<std::pair<std::uint32_t, std::uint32_t>>{
           {8193, 1},
           {1, 8193},
           {100000, 100000},
           {0x7FFFFFFF, 1},
           {0xFFFFFFFF, 0xFFFFFFFF},
           {0, 1},
           {1, 0},
           {8192, 8192}}) {
    inputs.push_back(
        testpng::Encode(Make(w, h, 8, testpng::kRgb, {{1, 2, 3}})));
  }
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    EXPECT_TRUE(Refused(inputs[i])) << "input " << i;
  }
  EXPECT_FALSE(DecodePng(inputs[0], nullptr).has_value());
}

TEST(PngImageTest, EveryTruncationOrFlippedByteIsRefused) {
  const Bytes png = SmallPalettePng();
  ASSERT_TRUE(DecodePng(png, nullptr).has_value());
  for (std::size_t pos = 0; pos < png.size(); ++pos) {
    // A copy of exactly that length, so the sanitizer sees any overread.
    EXPECT_TRUE(
        Refused(Bytes(png.begin(), png.begin() + static_cast<long>(pos))))
        << "cut at " << pos;
    for (std::uint8_t mask : {0x01, 0x80, 0xFF}) {
      Bytes bad = png;
      bad[pos] ^= mask;
      EXPECT_TRUE(Refused(bad)) << "byte " << pos << " mask " << +mask;
    }
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

TEST(PngImageTest, PaletteIndexBeyondThePaletteDoesNotReadOutsideIt) {
  std::string error;
  const auto raster = DecodePng(
      testpng::Encode(WithChunks(Make(2, 1, 8, testpng::kPalette, {{1, 200}}),
                                 {0, 0, 0, 0x10, 0x20, 0x30}, {})),
      &error);
  if (raster) {
    EXPECT_EQ(raster->At(0, 0), 0x302010u);
    EXPECT_EQ(raster->At(1, 0), kBlack);
  } else {
    EXPECT_FALSE(error.empty());
  }
}

}  // namespace
}  // namespace kestrix
