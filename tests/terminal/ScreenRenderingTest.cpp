// Characters as pixels: colours, inverse video, the cursor mark, scrolling.
#include <gtest/gtest.h>

#include "EngineHarness.h"

namespace kestrix::test {
namespace {

TEST(ScreenRendering, GlyphColoursAndInverseVideo) {
  EngineRig e;
  e.CursorOff();
  // Bit 3 (8 aside) draws entry (code & 7) inverted, on white paper.
  e.Feed(Bytes{'A', 12, 2, 'B', 12, 9, 'x', 12, 8, 'y', 12, 250, 'z'});
  e.Feed(Bytes{' ', 12, 3, ' '});
  EXPECT_TRUE(e.CellShows(0, 0, 'A', e.Entry(0), kBlack));
  EXPECT_TRUE(e.CellShows(1, 0, 'B', 0x0000FF, kBlack));
  EXPECT_TRUE(e.CellShows(2, 0, 'x', 0x0000FF, kWhite));
  EXPECT_TRUE(e.CellShows(3, 0, 'y', kWhite, kBlack));
  EXPECT_TRUE(e.CellShows(4, 0, 'z', 0xFFFF00, kWhite));
  EXPECT_TRUE(e.CellShows(5, 0, ' ', kBlack, kWhite));
  EXPECT_TRUE(e.CellShows(6, 0, ' ', kBlack, kBlack));
}

TEST(ScreenRendering, CursorMarkIsDrawnAfterEachChunkAndErasedBeforeEachByte) {
  EngineRig e(/*deviceMode=*/true);
  e.Feed("ab");
  // Cursor at column 2, row 0: pixels x 16, 18, 20, 22 of row 16 are white.
  for (int x = 16; x < 24; ++x)
    EXPECT_EQ(e.Px(x, 16), x % 2 == 0 ? kWhite : kBlack) << x;
  // A pixel query on a cursor dot sees it erased: black answers 0xFE.
  EXPECT_EQ(e.Feed(Bytes{5, 0x09, 8, 8}).ReplyByte, 0xFE);  // at (16, 16)
  e.CursorOff();
  e.Feed("c");
  for (int x = 24; x < 32; ++x) EXPECT_EQ(e.Px(x, 16), kBlack);
}

TEST(ScreenRendering, ScrollingRaisesTheStripOrBringsInBlackRows) {
  EngineRig e(/*deviceMode=*/true);
  e.CursorOff();
  e.Feed(Bytes{5, 0x21, 1, 215});  // plot into the strip at (3, 430)
  EXPECT_EQ(e.Px(3, 430), kWhite);
  e.Feed(Bytes{11, 24, 13});  // new line from the bottom row
  EXPECT_EQ(e.Px(3, 413), kWhite);
  EXPECT_EQ(e.Px(3, 430), kWhite);  // nothing moved into the strip's end
  // A clear blanks the text area but not the strip.
  e.Feed(Bytes{0});
  EXPECT_EQ(e.Px(3, 413), kBlack);
  EXPECT_EQ(e.Px(3, 430), kWhite);
}

}  // namespace
}  // namespace kestrix::test
