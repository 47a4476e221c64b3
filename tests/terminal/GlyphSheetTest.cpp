#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "PngBytes.h"
#include "assets/EmbeddedAssets.h"
#include "terminal/EmbeddedImages.h"

namespace kestrix {
namespace {

constexpr int kCellWidth = 8;
constexpr int kCellHeight = 17;

std::uint32_t Big32(std::span<const std::uint8_t> bytes, std::size_t at) {
  return std::uint32_t{bytes[at]} << 24 | std::uint32_t{bytes[at + 1]} << 16 |
         std::uint32_t{bytes[at + 2]} << 8 | bytes[at + 3];
}

struct PngChunk {
  std::string type;
  std::vector<std::uint8_t> data;
};

// Splits PNG bytes into chunks without any PNG library.
std::vector<PngChunk> ChunksOf(std::span<const std::uint8_t> png) {
  std::vector<PngChunk> chunks;
  std::size_t at = 8;
  while (at + 12 <= png.size()) {
    const std::uint32_t length = Big32(png, at);
    if (at + 12 + length > png.size()) break;
    PngChunk chunk;
    chunk.type.assign(png.begin() + static_cast<long>(at + 4),
                      png.begin() + static_cast<long>(at + 8));
    chunk.data.assign(png.begin() + static_cast<long>(at + 8),
                      png.begin() + static_cast<long>(at + 8 + length));
    chunks.push_back(chunk);
    at += 12 + length;
  }
  return chunks;
}

// A cell as rows of '#' (black ink) and '.' (white paper); anything else
// shows as '?'.
using Cell = std::array<std::string, kCellHeight>;

Cell CellOf(const Raster& sheet, int code) {
  const int left = code % 32 * kCellWidth;
  const int top = code / 32 * kCellHeight;
  Cell cell;
  for (int y = 0; y < kCellHeight; ++y) {
    for (int x = 0; x < kCellWidth; ++x) {
      const Colour c = sheet.At(left + x, top + y);
      cell[static_cast<std::size_t>(y)] +=
          c == kBlack ? '#' : (c == kWhite ? '.' : '?');
    }
  }
  return cell;
}

bool Blank(const Cell& cell) {
  for (const std::string& row : cell) {
    if (row.find('#') != std::string::npos) return false;
  }
  return true;
}

std::string Column(const Cell& cell, int x) {
  std::string column;
  for (const std::string& row : cell)
    column += row[static_cast<std::size_t>(x)];
  return column;
}

class GlyphSheetTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    auto images = LoadEmbeddedImages(&error);
    ASSERT_TRUE(images.has_value()) << error;
    images_ = std::move(*images);
  }
  Cell Glyph(int code) const { return CellOf(images_.glyphSheet, code); }

  EmbeddedImages images_;
};

TEST_F(GlyphSheetTest, FileIsATwoColourPaletteImage) {
  const auto png = assets::GlyphSheetPng();
  const std::vector<PngChunk> chunks = ChunksOf(png);
  ASSERT_FALSE(chunks.empty());
  ASSERT_EQ(chunks.front().type, "IHDR");
  const std::vector<std::uint8_t>& ihdr = chunks.front().data;
  ASSERT_EQ(ihdr.size(), 13u);
  EXPECT_EQ(Big32(ihdr, 0), 256u);
  EXPECT_EQ(Big32(ihdr, 4), 136u);
  EXPECT_EQ(ihdr[8], 8) << "bit depth";
  EXPECT_EQ(ihdr[9], 3) << "colour type";

  std::vector<std::uint8_t> plte;
  for (const PngChunk& chunk : chunks) {
    if (chunk.type == "PLTE") plte = chunk.data;
    EXPECT_NE(chunk.type, "tRNS");
  }
  EXPECT_EQ(plte, (std::vector<std::uint8_t>{0, 0, 0, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(chunks.back().type, "IEND");
}

TEST_F(GlyphSheetTest, DecodedSheetHasTheSheetSize) {
  EXPECT_EQ(images_.glyphSheet.width(), 256);
  EXPECT_EQ(images_.glyphSheet.height(), 136);
}

TEST_F(GlyphSheetTest, LetterAIsAtItsCell) {
  // Code 65 sits at x 8, y 34.
  const Cell expected = {
      "........", "........", "........", "........", "...##...", "..#..#..",
      "..#..#..", ".#....#.", ".#....#.", ".######.", ".#....#.", ".#....#.",
      ".#....#.", ".#....#.", "........", "........", "........"};
  Cell found;
  for (int y = 0; y < kCellHeight; ++y) {
    for (int x = 0; x < kCellWidth; ++x) {
      found[static_cast<std::size_t>(y)] +=
          images_.glyphSheet.At(8 + x, 34 + y) == kBlack ? '#' : '.';
    }
  }
  EXPECT_EQ(found, expected);
}

TEST_F(GlyphSheetTest, ControlCodesShareOneVisibleRing) {
  EXPECT_FALSE(Blank(Glyph(0)));
  for (int code = 1; code <= 13; ++code)
    EXPECT_EQ(Glyph(code), Glyph(0)) << code;
  EXPECT_NE(Glyph(14), Glyph(0));
}

TEST_F(GlyphSheetTest, OnlySpaceAndNoBreakSpaceAreBlank) {
  for (int code = 14; code < 256; ++code) {
    const bool blank_expected = code == 32 || code == 160;
    EXPECT_EQ(Blank(Glyph(code)), blank_expected) << "code " << code;
  }
}

TEST_F(GlyphSheetTest, PrintableGlyphsAreAllDifferent) {
  // Each symbol, ASCII character and Latin-1 letter must be distinguishable.
  std::vector<int> codes;
  for (int code = 14; code <= 127; ++code) codes.push_back(code);
  for (int code = 192; code <= 255; ++code) codes.push_back(code);
  for (std::size_t i = 0; i < codes.size(); ++i) {
    for (std::size_t j = i + 1; j < codes.size(); ++j) {
      EXPECT_NE(Glyph(codes[i]), Glyph(codes[j]))
          << "codes " << codes[i] << " and " << codes[j];
    }
  }
}

TEST_F(GlyphSheetTest, LinePiecesReachTheEdgesAndJoin) {
  std::set<Cell> distinct;
  std::set<std::string> tops, bottoms, lefts, rights;
  for (int code = 128; code <= 159; ++code) {
    const Cell cell = Glyph(code);
    distinct.insert(cell);
    const std::string top = cell.front();
    const std::string bottom = cell.back();
    const std::string left = Column(cell, 0);
    const std::string right = Column(cell, kCellWidth - 1);
    int edges = 0;
    for (const std::string* edge : {&top, &bottom, &left, &right}) {
      if (edge->find('#') != std::string::npos) ++edges;
    }
    EXPECT_GE(edges, 2) << "code " << code;
    if (top.find('#') != std::string::npos) tops.insert(top);
    if (bottom.find('#') != std::string::npos) bottoms.insert(bottom);
    if (left.find('#') != std::string::npos) lefts.insert(left);
    if (right.find('#') != std::string::npos) rights.insert(right);
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
  ASSERT_EQ(logo.width(), 210);
  ASSERT_EQ(logo.height(), 85);
  int lit = 0;
  for (Colour c : logo.pixels()) lit += c != kBlack;
  EXPECT_GT(lit, 210 * 85 / 20);
  EXPECT_LT(lit, 210 * 85 / 2);
  for (int x : {0, 209}) {
    for (int y : {0, 84}) EXPECT_EQ(logo.At(x, y), kBlack);
  }
}

// Loader failures, with images made by hand.

testpng::Bytes GreyPng(std::uint32_t width, std::uint32_t height,
                       std::uint16_t level) {
  testpng::Image image;
  image.width = width;
  image.height = height;
  image.colour_type = testpng::kGrey;
  image.scanlines =
      testpng::Scanlines(std::vector<std::vector<std::uint16_t>>(
                             height, std::vector<std::uint16_t>(width, level)),
                         8);
  return testpng::Encode(image);
}

std::string LoadError(const testpng::Bytes& sheet, const testpng::Bytes& logo) {
  std::string error;
  EXPECT_FALSE(LoadEmbeddedImages(sheet, logo, &error).has_value());
  return error;
}

TEST(EmbeddedImagesTest, AcceptsImagesOfTheRightShape) {
  std::string error;
  const auto images = LoadEmbeddedImages(GreyPng(256, 136, 0xFF),
                                         GreyPng(210, 85, 0x40), &error);
  ASSERT_TRUE(images.has_value()) << error;
  EXPECT_EQ(images->glyphSheet.At(255, 135), kWhite);
  EXPECT_EQ(images->logo.At(209, 84), 0x404040u);
}

TEST(EmbeddedImagesTest, ReportsWhichImageIsWrongAndWhy) {
  const auto good_sheet = GreyPng(256, 136, 0);
  const auto good_logo = GreyPng(210, 85, 0);
  auto truncated = good_sheet;
  truncated.resize(truncated.size() / 2);

  EXPECT_EQ(LoadError(GreyPng(256, 135, 0), good_logo),
            "glyph sheet: is 256x135 pixels, expected 256x136");
  EXPECT_EQ(LoadError(GreyPng(256, 136, 0x80), good_logo),
            "glyph sheet: holds colours other than black and white");
  EXPECT_EQ(LoadError(testpng::Bytes(40, 7), good_logo),
            "glyph sheet: not a PNG image");
  EXPECT_EQ(LoadError(truncated, good_logo).rfind("glyph sheet: ", 0), 0u);
  EXPECT_EQ(LoadError(good_sheet, GreyPng(85, 210, 0)),
            "logo: is 85x210 pixels, expected 210x85");
  EXPECT_EQ(LoadError(good_sheet, {}), "logo: not a PNG image");
}

}  // namespace
}  // namespace kestrix
