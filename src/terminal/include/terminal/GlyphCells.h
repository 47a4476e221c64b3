#pragma once

#include <array>
#include <cstdint>

#include "core/Raster.h"
#include "terminal/TerminalScreen.h"

namespace kestrix {

// Draws glyph cells for the decoder. A sheet of pure black and white (the
// embedded one is) is kept as one byte per glyph row, and a cell row is then
// two four-pixel pieces from a 16-entry table in the current colours: the
// sheet's 139 KB of pixels would not stay in the first-level cache beside
// the screen rows being written. Any other sheet is drawn by PutGlyph, with
// the same result. The sheet is read when the cells are made; only a sheet
// that needs the general way is kept.
class GlyphCells {
 public:
  explicit GlyphCells(const Raster& sheet);

  // As PutGlyph: the glyph of code at the cursor cell in `colour` (inverse
  // video when TextColour > 8), then the cursor moves on.
  void Put(TerminalScreen& screen, int code, Colour colour);

 private:
  static constexpr int kW = TerminalScreen::kCellWidth;
  static constexpr int kH = TerminalScreen::kCellHeight;
  using Piece = std::array<Colour, 4>;
  // Fills bits_; false when the sheet holds other colours than black and
  // white or is smaller than 32 x 8 cells.
  bool TakeBits(const Raster& sheet);
  void UsePieces(Colour ink, Colour paper);

  Raster sheet_;
  bool twoTone_ = false;
  // Bit x of bits_[code][y] is set where the glyph's pixel (x, y) is black.
  std::array<std::array<std::uint8_t, kH>, 256> bits_{};
  std::array<Piece, 16> pieces_{};
  Colour ink_ = 0;
  Colour paper_ = 0;
  bool piecesMade_ = false;
};

}  // namespace kestrix
