// Scrolls up by whole rows turn the image's ring of rows instead of moving
// pixels; every pixel must still end up where a plain move puts it.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "EngineHarness.h"
#include "terminal/Painter.h"
#include "terminal/TerminalScreen.h"

namespace kestrix::test {
namespace {

Colour Pattern(int x, int y) {
  return static_cast<Colour>(y * 4096 + x + 1) & kColourMask;
}

// The picture moved the plain way, pixel by pixel: it is the text area and
// the strip below it (counted even when the image has none); what moves
// lands dx to the left and dy up, the text area it misses turns black, and
// the image's strip keeps what nothing moved onto.
Raster PlainMove(const TerminalScreen& s, int dx, int dy) {
  const Raster& from = s.image;
  Raster to = from;
  for (int y = 0; y < std::min(s.TextHeight(), to.height()); ++y)
    for (int x = 0; x < to.width(); ++x) to.At(x, y) = kBlack;
  const int w = s.TextWidth() - std::abs(dx);
  const int h = s.TextHeight() + TerminalScreen::kStripHeight - std::abs(dy);
  for (int j = 0; j < h; ++j) {
    for (int i = 0; i < w; ++i) {
      const int sx = std::max(dx, 0) + i, sy = std::max(dy, 0) + j;
      const int tx = std::max(-dx, 0) + i, ty = std::max(-dy, 0) + j;
      if (!to.Contains(tx, ty)) continue;
      to.At(tx, ty) = from.Contains(sx, sy) ? from.At(sx, sy) : kBlack;
    }
  }
  return to;
}

// A picture scrolled through its ring of rows beside the same picture moved
// the plain way; every step is compared pixel for pixel.
struct RingAndPlain {
  RingAndPlain(int cols, int rows, bool strip) {
    CreateScreenImage(ring, cols, rows, strip);
    for (int y = 0; y < ring.image.height(); ++y)
      for (int x = 0; x < ring.image.width(); ++x)
        ring.image.At(x, y) = Pattern(x, y);
    plain = ring;
  }
  // Empty when both still agree.
  std::string Scroll(int dx, int dy) {
    const int top = ring.image.RingTop();
    ScrollScreen(ring, dx, dy);
    plain.image = PlainMove(plain, dx, dy);
    if (ring.image.RingTop() < top) ++wraps;
    return ring.image == plain.image ? "" : "differs after scroll (" +
        std::to_string(dx) + ", " + std::to_string(dy) + ")";
  }
  TerminalScreen ring, plain;
  int wraps = 0;  // times the ring's start passed its end
};

TEST(ScrollRing, NamedScrollRunsMatchAPlainMoveAfterEveryStep) {
  struct Run {
    const char* name;
    int rows;
    bool strip;
    std::vector<std::pair<int, int>> steps;  // repeated three times
  };
  // 3 rows with the strip: 72 pixel rows, half 36; without: 51, half 25.
  const Run runs[] = {
      {"text rows", 3, true, {{0, 17}, {0, 17}, {0, 17}, {0, 17}, {0, 17}}},
      {"one pixel row at a time", 3, false,
       std::vector<std::pair<int, int>>(40, {0, 1})},
      {"around half", 3, true, {{0, 35}, {0, 36}, {0, 37}, {0, 35}}},
      {"around half, no strip", 3, false, {{0, 24}, {0, 25}, {0, 26}}},
      {"whole picture and beyond", 3, true,
       {{0, 72}, {0, 17}, {0, 17}, {0, 90}, {0, 17}, {0, 17}}},
      {"down and up", 3, true, {{0, -17}, {0, 17}, {0, -1}, {0, 36}, {0, 17}}},
      {"sideways on a turned ring", 2, true,
       {{0, 17}, {3, 0}, {0, 17}, {0, 30}, {-5, 2}, {0, 17}, {-32, 0}, {0, 17}}},
      {"one row picture", 1, true, {{0, 17}, {0, 19}, {0, 20}, {0, 1}}},
  };
  for (const Run& run : runs) {
    RingAndPlain pictures(4, run.rows, run.strip);
    for (int round = 0; round < 3; ++round) {
      for (const auto& [dx, dy] : run.steps) {
        const std::string wrong = pictures.Scroll(dx, dy);
        ASSERT_EQ(wrong, "") << run.name << ", round " << round;
      }
    }
    EXPECT_GE(pictures.wraps, 2) << run.name;  // past zero and round again
  }
}

// Random runs of scrolls of every kind, with drawing between them.
TEST(ScrollRing, RandomScrollsAndDrawingMatchAPlainMoveAfterEveryStep) {
  const Raster sheet = MakeTestSheet();
  std::mt19937 random(7);
  for (int trial = 0; trial < 40; ++trial) {
    RingAndPlain pictures(2 + trial % 3, 1 + trial % 4, trial % 2 == 0);
    const int h = pictures.ring.image.height(), w = pictures.ring.image.width();
    const int sizes[] = {1, h / 2 - 1, h / 2, h / 2 + 1, h, 17, 2 * h};
    for (int step = 0; step < 40; ++step) {
      const auto pick = [&](int n) { return int(random() % unsigned(n)); };
      const int size = sizes[pick(7)];
      int dx = 0, dy = 0;
      switch (pick(6)) {
        case 0: dy = 17; break;  // a new line at the bottom
        case 1: dy = size; break;
        case 2: dy = -size; break;
        case 3: dx = pick(2 * w + 1) - w, dy = pick(2) * size; break;
        default: {  // a glyph and a line drawn on both pictures
          for (TerminalScreen* s : {&pictures.ring, &pictures.plain}) {
            s->CursorColumn = 0;
            s->CursorRow = step % s->Rows;
            PutGlyph(*s, sheet, 'A' + step, kStartPalette[step % 8]);
            Painter p(s->image);
            p.SetColour(0x00FF00);
            p.Line(step % w, 0, w - 1, h - 1 - step % h);
          }
          continue;
        }
      }
      const std::string wrong = pictures.Scroll(dx, dy);
      ASSERT_EQ(wrong, "") << "trial " << trial << ", step " << step;
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
