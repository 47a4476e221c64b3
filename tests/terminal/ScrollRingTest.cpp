// Scrolls up by whole rows turn the image's ring of rows instead of moving
// pixels; every pixel must still end up where a plain move puts it.
#include <gtest/gtest.h>

#include <algorithm>
#include <span>
#include <utility>
#include <vector>

#include "terminal/Painter.h"
#include "terminal/TerminalScreen.h"

namespace kestrix::test {
namespace {

Colour Pattern(int x, int y) {
  return static_cast<Colour>(y * 4096 + x + 1) & kColourMask;
}

TEST(ScrollRing, RepeatedScrollsKeepEveryPixelWhereAMoveWouldPutIt) {
  struct Row {
    const char* name;
    int rows;
    bool strip;
    int dy;
  };
  const Row table[] = {
      {"text row with strip", 3, true, 17},
      {"more than half of a one-row picture", 1, true, 30},
      {"without strip", 3, false, 17},
      {"without strip, beyond the strip height", 3, false, 40},
  };
  for (const Row& row : table) {
    TerminalScreen s;
    CreateScreenImage(s, 4, row.rows, row.strip);
    const int w = s.image.width();
    const int imgH = s.image.height();
    const int pictureH = row.rows * 17 + TerminalScreen::kStripHeight;
    for (int y = 0; y < imgH; ++y)
      for (int x = 0; x < w; ++x) s.image.At(x, y) = Pattern(x, y);
    for (int step = 0; step < 3; ++step) {
      const Raster before = s.image;
      ScrollScreen(s, 0, row.dy);
      const int moved = std::min(std::max(pictureH - row.dy, 0), imgH);
      int wrong = 0;
      for (int y = 0; y < imgH; ++y) {
        for (int x = 0; x < w; ++x) {
          Colour want = kBlack;
          if (y < moved) {
            if (y + row.dy < imgH) want = before.At(x, y + row.dy);
          } else if (y >= s.TextHeight()) {
            want = before.At(x, y);
          }
          if (s.image.At(x, y) != want) ++wrong;
        }
      }
      EXPECT_EQ(wrong, 0) << row.name << ", scroll " << step + 1;
    }
  }
}

// The window converts only the storage rows the image reports as changed, so
// a glyph cell that straddles the ring's end must report both ends.
TEST(ScrollRing, ChangedRowsCoverEveryRowAGlyphOrTheCursorWrote) {
  Raster sheet(256, 136, kWhite);
  for (int y = 0; y < 136; y += 3) sheet.At(y % 256, y) = kBlack;
  TerminalScreen s;
  CreateScreenImage(s, 4, 3, /*withStrip=*/true);
  for (int scroll = 0; scroll < 8; ++scroll) {
    ScrollScreen(s, 0, 17);
    for (int cursorRow = 0; cursorRow < s.Rows; ++cursorRow) {
      s.image.TakeChangedRows();
      const std::span<const Colour> now = std::as_const(s.image).pixels();
      const std::vector<Colour> before(now.begin(), now.end());
      s.CursorRow = cursorRow;
      s.CursorColumn = 1;
      PutGlyph(s, sheet, 'A' + scroll, kStartPalette[scroll % 8]);
      CursorMark(s, true);
      const RowSpan changed = s.image.TakeChangedRows();
      const std::span<const Colour> after = std::as_const(s.image).pixels();
      for (int row = 0; row < s.image.height(); ++row) {
        const auto at = static_cast<std::ptrdiff_t>(row) * s.image.width();
        const bool differs = !std::equal(before.begin() + at,
                                         before.begin() + at + s.image.width(),
                                         after.begin() + at);
        EXPECT_FALSE(differs && (row < changed.First || row > changed.Last))
            << "scroll " << scroll << ", cursor row " << cursorRow
            << ", storage row " << row << " changed unreported";
      }
    }
  }
}

// A line walks the pixels as one array; on a turned ring it must wrap at the
// storage's end and report the rows it crossed.
TEST(ScrollRing, LinesOnATurnedPictureLandAsOnAPlainOne) {
  Raster turned(37, 29);
  turned.TurnUp(11);
  Raster plain(37, 29);
  for (int y = 0; y < 29; ++y) {
    for (int x = 0; x < 37; ++x) {
      turned.At(x, y) = plain.At(x, y) = Pattern(x, y);
    }
  }
  const struct {
    const char* name;
    int x0, y0, x1, y1;
    DrawMode mode;
  } lines[] = {
      {"steep, across the ring's end", 3, 2, 9, 27, DrawMode::kCopy},
      {"flat, upwards", 36, 20, 0, 14, DrawMode::kCopy},
      {"steep, upwards, inverted", 30, 28, 25, 0, DrawMode::kInvert},
      {"from far outside", -500, -40, 600, 70, DrawMode::kInvert},
  };
  for (const auto& line : lines) {
    turned.TakeChangedRows();
    const std::span<const Colour> now = std::as_const(turned).pixels();
    const std::vector<Colour> before(now.begin(), now.end());
    for (Raster* r : {&turned, &plain}) {
      Painter p(*r);
      p.SetMode(line.mode);
      p.SetColour(0x00FF00);
      p.Line(line.x0, line.y0, line.x1, line.y1);
    }
    EXPECT_TRUE(turned == plain) << line.name;
    const RowSpan changed = turned.TakeChangedRows();
    const std::span<const Colour> after = std::as_const(turned).pixels();
    for (std::size_t i = 0; i < after.size(); ++i) {
      const int row = static_cast<int>(i / 37);
      if (after[i] != before[i]) {
        EXPECT_TRUE(row >= changed.First && row <= changed.Last)
            << line.name << ": storage row " << row << " unreported";
      }
    }
  }
}

}  // namespace
}  // namespace kestrix::test
