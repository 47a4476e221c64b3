#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "PngBytes.h"
#include "terminal/EmbeddedImages.h"

namespace kestrix {
namespace {

// A cell as 17 rows of '#' (black ink), '.' (white paper) or '?' (anything
// else), separated by spaces.
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

bool Inked(const std::string& s) { return s.find('#') != std::string::npos; }

class GlyphSheetTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    auto images = LoadEmbeddedImages(&error);
    ASSERT_TRUE(images.has_value()) << error;
    images_ = std::move(*images);
  }
  std::string Glyph(int code) const { return CellOf(images_.glyphSheet, code); }

  EmbeddedImages images_;
};

TEST_F(GlyphSheetTest, GlyphsSitAtTheirCellsAndDifferAsTheyShould) {
  EXPECT_EQ(Glyph('A'),
            "........ ........ ........ ........ ...##... ..#..#.. ..#..#.. "
            ".#....#. .#....#. .######. .#....#. .#....#. .#....#. .#....#. "
            "........ ........ ........");
  // Control codes share one visible ring; only the two spaces are blank.
  EXPECT_TRUE(Inked(Glyph(0)));
  for (int code = 1; code <= 13; ++code)
    EXPECT_EQ(Glyph(code), Glyph(0)) << code;
  for (int code = 14; code < 256; ++code)
    EXPECT_EQ(Inked(Glyph(code)), code != 32 && code != 160) << code;
  // Each symbol, ASCII character and Latin-1 letter is distinguishable,
  // from the others and from the control ring.
  std::vector<int> codes;
  for (int code = 13; code <= 127; ++code) codes.push_back(code);
  for (int code = 192; code <= 255; ++code) codes.push_back(code);
  for (std::size_t i = 0; i < codes.size(); ++i) {
    for (std::size_t j = i + 1; j < codes.size(); ++j) {
      EXPECT_NE(Glyph(codes[i]), Glyph(codes[j]))
          << "codes " << codes[i] << " and " << codes[j];
    }
  }
}

TEST_F(GlyphSheetTest, LinePiecesReachTheEdgesAndJoin) {
  std::set<std::string> distinct, tops, bottoms, lefts, rights;
  for (int code = 128; code <= 159; ++code) {
    const std::string cell = Glyph(code);
    distinct.insert(cell);
    std::string left, right;
    for (int y = 0; y < 17; ++y) {
      left += cell[static_cast<std::size_t>(y * 9)];
      right += cell[static_cast<std::size_t>(y * 9 + 7)];
    }
    const std::string edges[] = {cell.substr(0, 8), cell.substr(16 * 9), left,
                                 right};
    std::set<std::string>* sets[] = {&tops, &bottoms, &lefts, &rights};
    EXPECT_GE(std::count_if(std::begin(edges), std::end(edges), Inked), 2)
        << code;
    for (int i = 0; i < 4; ++i) {
      if (Inked(edges[i])) sets[i]->insert(edges[i]);
    }
  }
  EXPECT_EQ(distinct.size(), 32u);
  // A stroke leaving one cell meets a stroke entering the next one: the
  // same single and double line positions on opposite edges.
  EXPECT_EQ(tops, bottoms);
  EXPECT_EQ(lefts, rights);
  EXPECT_EQ(tops.size(), 2u) << "single and double verticals";
  EXPECT_EQ(lefts.size(), 2u) << "single and double horizontals";
}

TEST_F(GlyphSheetTest, LogoIsANonBlackPictureOnBlack) {
  const Raster& logo = images_.logo;
  const auto lit = std::count_if(logo.pixels().begin(), logo.pixels().end(),
                                 [](Colour c) { return c != kBlack; });
  EXPECT_GT(lit, 210 * 85 / 20);
  EXPECT_LT(lit, 210 * 85 / 2);
  for (int x : {0, 209}) {
    for (int y : {0, 84}) EXPECT_EQ(logo.At(x, y), kBlack);
  }
}

testpng::Bytes GreyPng(std::uint32_t width, std::uint32_t height,
                       std::uint16_t level) {
  return testpng::Encode(testpng::Make(
      width, height, 8, testpng::kGrey,
      std::vector(height, std::vector<std::uint16_t>(width, level))));
}

TEST(EmbeddedImagesTest, ChecksTheShapesAndSaysWhichImageIsWrong) {
  std::string error;
  const auto images = LoadEmbeddedImages(GreyPng(256, 136, 0xFF),
                                         GreyPng(210, 85, 0x40), &error);
  ASSERT_TRUE(images.has_value()) << error;
  EXPECT_EQ(images->glyphSheet.At(255, 135), kWhite);
  EXPECT_EQ(images->logo.At(209, 84), 0x404040u);

  const auto sheet = GreyPng(256, 136, 0);
  const auto logo = GreyPng(210, 85, 0);
  const testpng::Bytes truncated(sheet.begin(),
                                 sheet.begin() + sheet.size() / 2);
  const std::pair<testpng::Bytes, testpng::Bytes> bad[] = {
      {GreyPng(256, 135, 0), logo},  {GreyPng(256, 136, 0x80), logo},
      {testpng::Bytes(40, 7), logo}, {truncated, logo},
      {sheet, GreyPng(85, 210, 0)},  {sheet, {}},
  };
  const char* const expected[] = {
      "glyph sheet: is 256x135 pixels, expected 256x136",
      "glyph sheet: holds colours other than black and white",
      "glyph sheet: not a PNG image",
      "glyph sheet: ",
      "logo: is 85x210 pixels, expected 210x85",
      "logo: not a PNG image",
  };
  for (int i = 0; i < 6; ++i) {
    error.clear();
    EXPECT_FALSE(LoadEmbeddedImages(bad[i].first, bad[i].second, &error));
    // A truncated file's reason comes from the decoder; only the name counts.
    EXPECT_EQ(i == 3 ? error.substr(0, 13) : error, expected[i]);
  }
}

}  // namespace
}  // namespace kestrix
