#pragma once

#include <optional>
#include <string>

#include "IndexedPng.h"
#include "UnifontHex.h"

namespace kestrix::tools {

// The sheet: 8 rows of 32 cells of 8x17 pixels, palette index 0 black ink on
// index 1 white paper.
inline constexpr int kCellWidth = 8;
inline constexpr int kCellHeight = 17;
inline constexpr int kCellsPerRow = 32;
inline constexpr int kSheetWidth = kCellsPerRow * kCellWidth;
inline constexpr int kSheetHeight = 256 / kCellsPerRow * kCellHeight;

// What fills the 17th pixel row of a cell, below the 16 Unifont rows.
enum class SpareRow {
  kBlank,          // text: paper, which also keeps the cursor mark row clear
  kRepeatLast,     // line pieces and solid blocks: strokes run on to the edge
  kRepeatPeriod2,  // two-row patterns such as shading keep their rhythm
};

struct GlyphSource {
  char32_t codePoint;
  SpareRow spareRow;
};

// The Unicode character drawn for each of the 256 codes.
GlyphSource GlyphSourceFor(int code);

// Builds the whole sheet; fails naming the first code point that the font
// lacks as a narrow glyph.
std::optional<IndexedImage> BuildGlyphSheet(const UnifontHex& font,
                                            std::string* error);

}  // namespace kestrix::tools
