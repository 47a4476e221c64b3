// Scrolls up by whole rows turn the image's ring of rows instead of moving
// pixels; every pixel must still end up where a plain move puts it, and the
// window converts only the storage rows reported as changed.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "EngineHarness.h"
#include "terminal/Painter.h"

namespace kestrix::test {
namespace {

Colour Pattern(int x, int y) {
  return static_cast<Colour>(y * 4096 + x + 1) & kColourMask;
}

// The text area and the strip below it (counted even when the image has
// none) moved dx left and dy up pixel by pixel; the text area it misses
// turns black, the image's strip keeps what nothing moved onto.
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

// Runs `draw` on `r`; the first storage row it changed outside the rows it
// reported, or -1.
template <typename Draw>
int UnreportedRow(Raster& r, const Draw& draw) {
  r.TakeChangedRows();
  const std::span<const Colour> now = std::as_const(r).pixels();
  const std::vector<Colour> before(now.begin(), now.end());
  draw();
  const RowSpan changed = r.TakeChangedRows();
  const std::span<const Colour> after = std::as_const(r).pixels();
  for (std::size_t i = 0; i < after.size(); ++i) {
    const int row = static_cast<int>(i) / r.width();
    if (after[i] != before[i] && (row < changed.first || row > changed.last))
      return row;
  }
  return -1;
}

// Random runs of scrolls of every kind, with drawing between them; sizes
// around half the picture, whole text rows, single pixel rows and beyond.
TEST(ScrollRing, RandomScrollsAndDrawingMatchAPlainMoveAfterEveryStep) {
  const Raster sheet = MakeTestSheet();
  std::mt19937 random(7);
  int wraps = 0;
  for (int trial = 0; trial < 40; ++trial) {
    TerminalScreen ring;
    CreateScreenImage(ring, 2 + trial % 3, 1 + trial % 4, trial % 2 == 0);
    const int h = ring.image.height(), w = ring.image.width();
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) ring.image.At(x, y) = Pattern(x, y);
    TerminalScreen plain = ring;
    const int sizes[] = {1, h / 2 - 1, h / 2, h / 2 + 1, h, 17, 2 * h};
    for (int step = 0; step < 40; ++step) {
      const auto pick = [&](int n) { return int(random() % unsigned(n)); };
      const int size = sizes[pick(7)], kind = pick(6);
      if (kind >= 4) {  // a glyph and a line drawn on both pictures
        for (TerminalScreen* s : {&ring, &plain}) {
          s->CursorColumn = 0;
          s->CursorRow = step % s->Rows;
          PutGlyph(*s, sheet, 'A' + step, kStartPalette[step % 8]);
          Painter p(s->image);
          p.SetColour(0x00FF00);
          p.Line(step % w, 0, w - 1, h - 1 - step % h);
        }
        continue;
      }
      // A new line at the bottom, up, down, or sideways and maybe up.
      const int dx = kind == 3 ? pick(2 * w + 1) - w : 0;
      const int dy = std::array{17, size, -size, pick(2) * size}[kind];
      const int top = ring.image.RingTop();
      ScrollScreen(ring, dx, dy);
      plain.image = PlainMove(plain, dx, dy);
      wraps += ring.image.RingTop() < top ? 1 : 0;
      ASSERT_TRUE(ring.image == plain.image)
          << "trial " << trial << ", step " << step << ": (" << dx << ", " << dy
          << ")";
    }
  }
  EXPECT_GE(wraps, 40);  // the ring's start passed its end many times
}

// A glyph cell or a line across the ring's end must report both ends.
TEST(ScrollRing, GlyphsCursorAndLinesOnATurnedRingReportEveryRowTheyWrote) {
  const Raster sheet = MakeTestSheet();
  TerminalScreen s;
  CreateScreenImage(s, 4, 3, /*withStrip=*/true);
  for (int scroll = 0; scroll < 8; ++scroll) {
    ScrollScreen(s, 0, 17);
    for (s.CursorRow = 0; s.CursorRow < s.Rows; ++s.CursorRow) {
      s.CursorColumn = 1;
      const auto draw = [&] {
        PutGlyph(s, sheet, 'A' + scroll, kStartPalette[scroll % 8]);
        CursorMark(s, true);
      };
      EXPECT_EQ(UnreportedRow(s.image, draw), -1)
          << "scroll " << scroll << ", cursor row " << s.CursorRow;
    }
  }
  Raster turned(37, 29), plain(37, 29);
  turned.TurnUp(11);
  for (int y = 0; y < 29; ++y)
    for (int x = 0; x < 37; ++x)
      turned.At(x, y) = plain.At(x, y) = Pattern(x, y);
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
    const auto draw = [&] {
      for (Raster* r : {&turned, &plain}) {
        Painter p(*r);
        p.SetMode(line.mode);
        p.SetColour(0x00FF00);
        p.Line(line.x0, line.y0, line.x1, line.y1);
      }
    };
    EXPECT_EQ(UnreportedRow(turned, draw), -1) << line.name;
    EXPECT_TRUE(turned == plain) << line.name;
  }
}

}  // namespace
}  // namespace kestrix::test
