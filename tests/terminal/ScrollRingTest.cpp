// Scrolls up by whole rows turn the image's ring of rows instead of moving
// pixels; every pixel must still end up where a plain move puts it.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace kestrix::test
