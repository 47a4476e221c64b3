#include <gtest/gtest.h>

#include "PngBytes.h"
#include "terminal/PngImage.h"

namespace kestrix {
namespace {

using namespace testpng;

std::vector<Colour> PixelsOf(const Bytes& png) {
  std::string error;
  const std::optional<Raster> raster = DecodePng(png, &error);
  EXPECT_TRUE(raster.has_value()) << error;
  return raster ? raster->pixels() : std::vector<Colour>{};
}

// Refused with a reason.
bool Refused(const Bytes& png) {
  std::string error;
  return !DecodePng(png, &error) && !error.empty();
}

// Colour references hold red in the lowest byte; 16-bit samples are
// rounded, not truncated: 0x12AB is 18.6 -> 0x13.
TEST(PngImageTest, PaletteAndSixteenBitGrey) {
  const Bytes plte = {0x12, 0x34, 0x56, 0xFF, 0x00, 0x00};
  EXPECT_EQ(PixelsOf(Png(3, 2, 8, kPalette, {{0, 1, 1}, {1, 0, 0}}, plte)),
            (std::vector<Colour>{0x563412, 0x0000FF, 0x0000FF, 0x0000FF,
                                 0x563412, 0x563412}));
  EXPECT_EQ(PixelsOf(Png(4, 1, 16, kGrey, {{0x12AB, 0x807F, 0xFEFF, 0xFFFF}})),
            (std::vector<Colour>{0x131313, 0x808080, 0xFEFEFE, 0xFFFFFF}));
}

// Oversized, empty or short of data (8192 x 8192 too, before allocating).
TEST(PngImageTest, MalformedInputIsRefused) {
  EXPECT_TRUE(Refused(Bytes(100, 0)));
  EXPECT_TRUE(Refused(Png(2, 2, 8, kRgb, {{1, 2, 3, 4, 5, 6}})));
  for (auto [w, h] : {std::pair<std::uint32_t, std::uint32_t>{8193, 1},
                      {1, 8193},
                      {0xFFFFFFFF, 0xFFFFFFFF},
                      {0, 1},
                      {1, 0},
                      {8192, 8192}}) {
    EXPECT_TRUE(Refused(Png(w, h, 8, kRgb, {{1, 2, 3}}))) << w;
  }
  // An index past the palette's end reads as black or is refused.
  const auto odd = DecodePng(
      Png(2, 1, 8, kPalette, {{1, 200}}, {0, 0, 0, 1, 2, 3}), nullptr);
  EXPECT_TRUE(!odd || odd->pixels() == (std::vector<Colour>{0x030201, 0}));
}

TEST(PngImageTest, EveryTruncationOrFlippedByteIsRefused) {
  const Bytes png = Png(3, 2, 8, kPalette, {{0, 1, 2}, {2, 1, 0}},
                        {0x12, 0x34, 0x56, 0xFF, 0, 0, 0, 0, 0xFF});
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

}  // namespace
}  // namespace kestrix
