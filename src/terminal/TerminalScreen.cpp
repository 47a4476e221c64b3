#include "terminal/TerminalScreen.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "terminal/Painter.h"

namespace kestrix {

namespace {
constexpr int kW = TerminalScreen::kCellWidth;
constexpr int kH = TerminalScreen::kCellHeight;
}  // namespace

void CreateScreenImage(TerminalScreen& screen, int cols, int rows,
                       bool withStrip) {
  screen.Cols = cols;
  screen.Rows = rows;
  screen.image = Raster(
      cols * kW, rows * kH + (withStrip ? TerminalScreen::kStripHeight : 0));
  screen.CursorColumn = std::clamp(screen.CursorColumn, 0, cols - 1);
  screen.CursorRow = std::clamp(screen.CursorRow, 0, rows - 1);
}

void AdvanceCursor(TerminalScreen& s) {
  ++s.CursorColumn;
  if (s.CursorColumn > s.Cols - 1) {
    ++s.CursorRow;
    s.CursorColumn -= s.Cols;
  }
  if (s.CursorRow > s.Rows - 1) {
    s.CursorRow = s.Rows - 1;
    s.CursorColumn = 0;
    ScrollScreen(s, 0, kH);
  }
}

void PutGlyph(TerminalScreen& s, const Raster& sheet, int code, Colour colour) {
  // Filling the cell with the complement F of the colour and then drawing
  // the glyph as NOT(glyph OR cell) leaves the colour where the glyph is
  // black and black where it is white; inverse video complements the cell
  // afterwards.
  const int cx = s.CursorColumn * kW;
  const int cy = s.CursorRow * kH;
  Painter p(s.image);
  p.SetColour((colour ^ kColourMask) & kColourMask);
  p.FillBox(cx, cy, kW, kH);
  p.SetMode(DrawMode::kInvert);
  p.Blit(sheet, (code & 255) % 32 * kW, (code & 255) / 32 * kH, kW, kH, cx, cy);
  if (s.TextColour > 8) p.FillBox(cx, cy, kW, kH);
  AdvanceCursor(s);
}

void ScrollScreen(TerminalScreen& s, int dx, int dy) {
  // The picture is W x H with H counting the strip even when the image was
  // made without one: rows beyond the image read as black.
  // Anything beyond the picture's size moves it out entirely.
  constexpr int kFar = 1 << 20;
  dx = std::clamp(dx, -kFar, kFar);
  dy = std::clamp(dy, -kFar, kFar);
  Raster& img = s.image;
  const int w = s.Cols * kW;
  const int h = s.Rows * kH + TerminalScreen::kStripHeight;
  const int textH = std::min(s.TextHeight(), img.height());
  const int imgW = img.width();
  const int imgH = img.height();
  const int moveW = std::max(w - std::abs(dx), 0);
  const int moveH = std::max(h - std::abs(dy), 0);
  // Target rectangle of the moved picture.
  const int tx0 = moveW > 0 ? std::max(-dx, 0) : 0;
  const int ty0 = moveH > 0 ? std::max(-dy, 0) : 0;
  const int tx1 = std::min(tx0 + moveW, imgW);
  const int ty1 = std::min(ty0 + moveH, imgH);
  const bool anyMove = moveW > 0 && moveH > 0 && tx0 < tx1 && ty0 < ty1;

  // Whole rows moving up: turn the ring of rows and redo only those that
  // come round at the bottom. They turn black, except in the strip below
  // the grid where nothing moved into them: there the old picture stays,
  // and it now sits dy rows higher, in rows the loop does not touch as long
  // as dy is at most half the picture.
  if (anyMove && dx == 0 && dy > 0 && 2 * dy <= imgH && tx1 - tx0 == imgW &&
      h >= imgH) {
    img.TurnUp(dy);
    for (int ty = imgH - dy; ty < imgH; ++ty) {
      Colour* row = img.Row(ty);
      if (ty < ty1 || ty < textH) {
        std::fill(row, row + imgW, kBlack);
      } else {
        std::memcpy(row, std::as_const(img).Row(ty - dy),
                    static_cast<std::size_t>(imgW) * sizeof(Colour));
      }
    }
    return;
  }

  auto processRow = [&](int ty) {
    Colour* row = img.Row(ty);
    const bool inText = ty < textH;
    if (!anyMove || ty < ty0 || ty >= ty1) {
      if (inText) std::fill(row, row + imgW, kBlack);
      return;
    }
    const int sy = ty + dy;
    if (sy < 0 || sy >= imgH) {
      std::fill(row + tx0, row + tx1, kBlack);
    } else {
      const Colour* src = img.Row(sy) + tx0 + dx;
      std::memmove(row + tx0, src,
                   static_cast<std::size_t>(tx1 - tx0) * sizeof(Colour));
    }
    if (inText) {
      std::fill(row, row + tx0, kBlack);
      std::fill(row + tx1, row + imgW, kBlack);
    }
  };
  // Rows are moved in place, in the order that reads each source row before
  // it is overwritten.
  if (dy >= 0) {
    for (int ty = 0; ty < imgH; ++ty) processRow(ty);
  } else {
    for (int ty = imgH - 1; ty >= 0; --ty) processRow(ty);
  }
}

void CursorMark(TerminalScreen& s, bool draw) {
  const Colour c = draw ? kWhite : kBlack;
  const int y = s.CursorRow * kH + kH - 1;
  const int x0 = s.CursorColumn * kW;
  if (y < 0 || y >= s.image.height() || x0 + 6 < 0 || x0 >= s.image.width()) {
    return;
  }
  Colour* row = s.image.Row(y);
  for (int x = x0; x < x0 + 8 && x < s.image.width(); x += 2) {
    if (x >= 0) row[x] = c;
  }
}

void ClearTextArea(TerminalScreen& s) {
  Painter p(s.image);
  p.SetColour(kBlack);
  p.FillBox(0, 0, s.TextWidth(), s.TextHeight());
  s.CursorColumn = 0;
  s.CursorRow = 0;
}

void StartNewPage(TerminalScreen& s) {
  s.PreviousText = std::move(s.ScreenText);
  s.ScreenText.clear();
}

void RecordCharacter(TerminalScreen& s, char c) {
  if (s.ScreenText.size() < TerminalScreen::kScreenTextLimit) {
    s.ScreenText.push_back(c);
  }
}

void RecordLineBreak(TerminalScreen& s, const char* text) {
  if (s.ScreenText.size() < TerminalScreen::kScreenTextHardLimit) {
    s.ScreenText.append(text);
  }
}

}  // namespace kestrix
