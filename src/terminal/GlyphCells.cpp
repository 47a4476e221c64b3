#include "terminal/GlyphCells.h"

#include <cstring>

namespace kestrix {

GlyphCells::GlyphCells(const Raster& sheet) {
  twoTone_ = TakeBits(sheet);
  if (!twoTone_) sheet_ = sheet;
}

bool GlyphCells::TakeBits(const Raster& sheet) {
  if (sheet.width() < 32 * kW || sheet.height() < 8 * kH) return false;
  for (int code = 0; code < 256; ++code) {
    const int gx = code % 32 * kW;
    const int gy = code / 32 * kH;
    for (int y = 0; y < kH; ++y) {
      std::uint8_t bits = 0;
      for (int x = 0; x < kW; ++x) {
        const Colour pixel = sheet.At(gx + x, gy + y);
        if (pixel == kBlack) {
          bits |= static_cast<std::uint8_t>(1u << x);
        } else if (pixel != kWhite) {
          return false;  // a grey: drawn the general way
        }
      }
      bits_[static_cast<std::size_t>(code)][static_cast<std::size_t>(y)] = bits;
    }
  }
  return true;
}

void GlyphCells::UsePieces(Colour ink, Colour paper) {
  if (piecesMade_ && ink == ink_ && paper == paper_) return;
  for (std::size_t n = 0; n < pieces_.size(); ++n) {
    for (std::size_t i = 0; i < 4; ++i) {
      pieces_[n][i] = (n >> i) & 1 ? ink : paper;
    }
  }
  ink_ = ink;
  paper_ = paper;
  piecesMade_ = true;
}

void GlyphCells::Put(TerminalScreen& s, int code, Colour colour) {
  const int cx = s.CursorColumn * kW;
  const int cy = s.CursorRow * kH;
  Raster& img = s.image;
  if (!twoTone_ || cx < 0 || cy < 0 || cx + kW > img.width() ||
      cy + kH > img.height()) {
    PutGlyph(s, sheet_, code, colour);
    return;
  }
  // NOT(glyph OR complement of the colour), then the inverse-video flip:
  // the colour where the glyph is black, black where it is white.
  const Colour flip = s.TextColour > 8 ? kColourMask : 0;
  UsePieces((colour & kColourMask) ^ flip, flip);
  const auto& rows = bits_[static_cast<std::size_t>(code & 255)];
  const auto drawRow = [this](Colour* cell, std::uint8_t bits) {
    std::memcpy(cell, pieces_[bits & 15u].data(), sizeof(Piece));
    std::memcpy(cell + 4, pieces_[bits >> 4].data(), sizeof(Piece));
  };
  RowWalk to = img.Rows(cy, kH);
  if (to.Straight(kH)) {
    // Nearly always: the cell does not cross the ring's end.
    Colour* cell = *to + cx;
    for (std::size_t y = 0; y < kH; ++y, cell += to.stride()) {
      drawRow(cell, rows[y]);
    }
  } else {
    for (std::size_t y = 0; y < kH; ++y, to.Next()) drawRow(*to + cx, rows[y]);
  }
  AdvanceCursor(s);
}

}  // namespace kestrix
