#pragma once

#include <string>

#include "core/Raster.h"

namespace kestrix {

// The character grid the device draws on, rendered into one image. Cells are
// 8 by 17 pixels; the device addresses pixels directly and relies on that.
struct TerminalScreen {
  static constexpr int kCellWidth = 8;
  static constexpr int kCellHeight = 17;
  // Rows of pixels below the grid: graphics may draw there, the terminal never
  // clears them, and scrolling lifts them into the bottom text row.
  static constexpr int kStripHeight = 21;
  // Characters recorded in ScreenText; later ones are drawn but not kept.
  static constexpr std::size_t kScreenTextLimit = 32700;
  // Line breaks are recorded past the character limit, but a device that
  // sends nothing but line ends must not grow the record without bound.
  static constexpr std::size_t kScreenTextHardLimit = 1 << 20;

  int Cols = 80;
  int Rows = 25;
  int CursorColumn = 0;
  int CursorRow = 0;
  // Bits 0-2 pick the palette entry; a value above 8 means inverse video.
  int TextColour = 0;
  Raster image;
  // What was printed since the last clear or home, and the text before it.
  std::string ScreenText;
  std::string PreviousText;

  int TextWidth() const { return Cols * kCellWidth; }
  int TextHeight() const { return Rows * kCellHeight; }
};

// A black image of cols x rows cells, plus the strip below when asked for.
void CreateScreenImage(TerminalScreen& screen, int cols, int rows,
                       bool withStrip);

// Draws the glyph of code at the cursor cell in palette colour `colour`
// (inverse video when TextColour > 8) and advances the cursor, wrapping and
// scrolling at the bottom. The plain way, through the painter; the decoder
// draws through GlyphCells, which gives the same pixels faster.
void PutGlyph(TerminalScreen& screen, const Raster& glyphSheet, int code,
              Colour colour);

// Moves the cursor one cell on exactly as PutGlyph does, without drawing.
void AdvanceCursor(TerminalScreen& screen);

// Moves the picture left by dx and up by dy pixels (negative: right, down).
// The text area not reached by the moved picture turns black; the strip
// below the grid keeps what it had there.
void ScrollScreen(TerminalScreen& screen, int dx, int dy);

// The text cursor: four dots in the bottom pixel row of the cursor cell,
// white when drawn, black when erased.
void CursorMark(TerminalScreen& screen, bool draw);

// Fills the text area black (the strip is kept) and sends the cursor home.
void ClearTextArea(TerminalScreen& screen);

// Starts a new page of ScreenText: the old one becomes PreviousText.
void StartNewPage(TerminalScreen& screen);

// Appends recorded text; printable characters respect the character limit,
// line breaks only the hard limit.
void RecordCharacter(TerminalScreen& screen, char c);
void RecordLineBreak(TerminalScreen& screen, const char* text);

}  // namespace kestrix
