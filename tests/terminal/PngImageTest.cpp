#include <gtest/gtest.h>

#include "PngBytes.h"
#include "terminal/PngImage.h"

namespace kestrix {
namespace {

using namespace testpng;

std::vector<Colour> PixelsOf(const Image& image) {
  std::string error;
  const std::optional<Raster> raster = DecodePng(Encode(image), &error);
  EXPECT_TRUE(raster.has_value()) << error;
  return raster ? raster->pixels() : std::vector<Colour>{};
}

testing::AssertionResult Refused(const Bytes& png) {
  std::string error;
  if (DecodePng(png, &error)) return testing::AssertionFailure() << "decoded";
  if (error.empty()) return testing::AssertionFailure() << "no reason given";
  return testing::AssertionSuccess();
}

// Colour references hold red in the lowest byte.
TEST(PngImageTest, EveryColourTypeAndDepth) {
  const Bytes plte = {0x12, 0x34, 0x56, 0xFF, 0x00, 0x00,
                      0x00, 0x00, 0xFF, 0xAB, 0xCD, 0xEF};
  const Bytes plte2(plte.begin(), plte.begin() + 6);
  const std::pair<Image, std::vector<Colour>> cases[] = {
      // Rows end inside a byte at small depths.
      {Make(3, 2, 1, kPalette, {{0, 1, 1}, {1, 0, 0}}, plte2),
       {0x563412, 0x0000FF, 0x0000FF, 0x0000FF, 0x563412, 0x563412}},
      {Make(5, 1, 2, kPalette, {{0, 1, 2, 3, 2}}, plte),
       {0x563412, 0x0000FF, 0xFF0000, 0xEFCDAB, 0xFF0000}},
      {Make(3, 1, 4, kPalette, {{3, 0, 1}}, plte),
       {0xEFCDAB, 0x563412, 0x0000FF}},
      {Make(2, 1, 8, kPalette, {{2, 3}}, plte), {0xFF0000, 0xEFCDAB}},
      // Grey spreads to the full range.
      {Make(3, 1, 1, kGrey, {{0, 1, 1}}), {0, 0xFFFFFF, 0xFFFFFF}},
      {Make(4, 1, 2, kGrey, {{0, 1, 2, 3}}), {0, 0x555555, 0xAAAAAA, 0xFFFFFF}},
      {Make(3, 1, 4, kGrey, {{1, 15, 9}}), {0x111111, 0xFFFFFF, 0x999999}},
      // 16-bit samples are rounded, not truncated: 0x12AB is 18.6 -> 0x13.
      {Make(4, 1, 16, kGrey, {{0x12AB, 0x807F, 0xFEFF, 0xFFFF}}),
       {0x131313, 0x808080, 0xFEFEFE, 0xFFFFFF}},
      {Make(2, 1, 16, kRgb, {{0x12AB, 0x0000, 0xFFFF, 0x807F, 0x8080, 0xFEFF}}),
       {0xFF0013, 0xFE8080}},
      {Make(2, 1, 8, kRgb, {{0x11, 0x22, 0x33, 0xFF, 0x00, 0x80}}),
       {0x332211, 0x8000FF}},
      // Alpha and transparency are dropped.
      {Make(2, 1, 8, kRgba, {{0x11, 0x22, 0x33, 0x00, 0xFF, 0x00, 0x80, 0xFF}}),
       {0x332211, 0x8000FF}},
      {Make(2, 1, 8, kGreyAlpha, {{0x40, 0x00, 0xC0, 0xFF}}),
       {0x404040, 0xC0C0C0}},
      {Make(1, 1, 16, kRgba, {{0xFFFF, 0x0000, 0x8080, 0x0000}}), {0x8000FF}},
      {Make(2, 1, 8, kPalette, {{0, 1}}, plte2, {0x00, 0x80}),
       {0x563412, 0x0000FF}},
      {Make(2, 1, 8, kGrey, {{0x20, 0x90}}, {}, {0x00, 0x90}),
       {0x202020, 0x909090}},
  };
  for (const auto& [image, expected] : cases) {
    EXPECT_EQ(PixelsOf(image), expected)
        << "type " << +image.colour_type << " depth " << +image.bit_depth;
  }
}

TEST(PngImageTest, InterlacedImageIsReassembled) {
  // Adam7: seven passes, each a sub-image on its own grid.
  constexpr int kGrid[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8},
                               {2, 0, 4, 4}, {0, 2, 2, 4}, {1, 0, 2, 2},
                               {0, 1, 1, 2}};
  Image image = Make(9, 9, 8, kGrey, {});
  image.interlace = 1;
  for (const auto& [x0, y0, dx, dy] : kGrid) {
    Samples rows;
    for (int y = y0; y < 9; y += dy) {
      rows.emplace_back();
      for (int x = x0; x < 9; x += dx)
        rows.back().push_back(static_cast<std::uint16_t>(y * 16 + x));
    }
    const Bytes lines = Scanlines(rows, 8);
    image.scanlines.insert(image.scanlines.end(), lines.begin(), lines.end());
  }
  std::vector<Colour> expected;
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 9; ++x) expected.push_back((y * 16 + x) * 0x010101u);
  EXPECT_EQ(PixelsOf(image), expected);
}

// Oversized, empty or short of data. 8192 x 8192 is allowed but cannot come
// from a few bytes, and refusing it early avoids allocating for it.
TEST(PngImageTest, MalformedInputIsRefused) {
  EXPECT_TRUE(Refused(Bytes(100, 0)));
  EXPECT_FALSE(DecodePng(Bytes(100, 0), nullptr).has_value());
  EXPECT_TRUE(Refused(Encode(Make(2, 2, 8, kRgb, {{1, 2, 3, 4, 5, 6}}))));
  for (auto [w, h] : {std::pair<std::uint32_t, std::uint32_t>{8193, 1},
                      {1, 8193},
                      {0xFFFFFFFF, 0xFFFFFFFF},
                      {0, 1},
                      {1, 0},
                      {8192, 8192}}) {
    EXPECT_TRUE(Refused(Encode(Make(w, h, 8, kRgb, {{1, 2, 3}})))) << w;
  }
  // The widest allowed row decodes.
  Samples row(1);
  for (int x = 0; x < kMaxPngDimension; ++x)
    row[0].insert(row[0].end(), {static_cast<std::uint16_t>(x & 0xFF), 0, 0});
  const auto wide =
      DecodePng(Encode(Make(kMaxPngDimension, 1, 8, kRgb, row)), nullptr);
  ASSERT_TRUE(wide.has_value());
  EXPECT_EQ(wide->width(), kMaxPngDimension);
  EXPECT_EQ(wide->At(kMaxPngDimension - 1, 0), 0xFFu);
}

TEST(PngImageTest, EveryTruncationOrFlippedByteIsRefused) {
  const Bytes png = Encode(Make(3, 2, 8, kPalette, {{0, 1, 2}, {2, 1, 0}},
                                {0x12, 0x34, 0x56, 0xFF, 0, 0, 0, 0, 0xFF}));
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

TEST(PngImageTest, PaletteIndexBeyondThePaletteDoesNotReadOutsideIt) {
  std::string error;
  const auto raster = DecodePng(
      Encode(Make(2, 1, 8, kPalette, {{1, 200}}, {0, 0, 0, 0x10, 0x20, 0x30})),
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
