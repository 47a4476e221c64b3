// Control codes, carries across chunks, ScreenText, the program's own lines.
#include <gtest/gtest.h>

#include <random>

#include "EngineHarness.h"

namespace kestrix::test {
namespace {

TEST(DeviceModeDecoder, CutOffCommandsAreCarriedToTheNextChunk) {
  Engine e(/*deviceMode=*/true);
  e.Feed(Bytes{'A', 10});
  EXPECT_EQ(e.decoder.CarryCount(), 1);
  EXPECT_EQ(e.screen.CursorColumn, 1);
  e.Feed(Bytes{5, 'B'});
  EXPECT_EQ(e.screen.CursorColumn, 6);  // column 5, then "B" drawn there
  EXPECT_EQ(e.screen.ScreenText, "AB");
  // Escapes cut off after one and after three of their four bytes.
  e.Feed(Bytes{5, 1});
  EXPECT_EQ(e.decoder.CarryCount(), 2);
  e.Feed(Bytes{10, 20});
  EXPECT_EQ(e.decoder.CarryCount(), 0);
  EXPECT_EQ(e.Px(20, 40), e.Entry(0));
  e.Feed(Bytes{'x', 5, 1, 30});
  EXPECT_EQ(e.decoder.CarryCount(), 3);
  e.Feed(Bytes{30});
  EXPECT_EQ(e.Px(60, 60), e.Entry(0));
  EXPECT_TRUE(e.clock.sleeps.empty());
  EXPECT_TRUE(e.port.writes.empty());
}

TEST(DeviceModeDecoder, CursorColourLineHomeClearAndTabCodes) {
  Engine e(/*deviceMode=*/true);
  e.CursorOff();
  e.Feed(Bytes{10, 85, 11, 30, 12, 10});
  EXPECT_EQ(e.Cursor(), std::pair(5, 5));
  EXPECT_EQ(e.screen.TextColour, 10);
  e.Feed(Bytes{'h', 13, 2, 3, 4, 6, 7});  // 2, 3, 4, 6, 7 are ignored
  EXPECT_EQ(e.Cursor(), std::pair(0, 6));
  // Home starts a new page without drawing; clear blanks it, keeping colour.
  e.Feed(Bytes{1});
  EXPECT_EQ(e.screen.PreviousText, "h\r\n");
  EXPECT_EQ(e.screen.ScreenText, "");
  EXPECT_EQ(e.screen.CursorRow, 0);
  EXPECT_FALSE(CellBlank(e, 5, 5));
  e.Feed("two");
  e.Feed(Bytes{12, 3, 0});
  EXPECT_EQ(e.screen.PreviousText, "two");
  EXPECT_TRUE(CellBlank(e, 5, 5));
  EXPECT_EQ(e.screen.TextColour, 3);
  // Tab draws spaces to the next stop: inverse video makes them visible.
  e.Feed(Bytes{1, 12, 9, 10, 8, 9});
  EXPECT_EQ(e.screen.CursorColumn, 16);
  EXPECT_EQ(e.Px(8 * 8, 0) & e.Px(15 * 8, 0), kWhite);  // both white
  EXPECT_EQ(e.Px(16 * 8, 0), kBlack);
  EXPECT_EQ(e.screen.ScreenText, "");
}

TEST(Decoder, BackspaceWrapsAndBlanksInBothModes) {
  for (bool device : {true, false}) {
    Engine e(device);
    e.CursorOff();
    const std::string rows = std::string(4 * 80, 'k');
    e.Feed(rows);  // cursor at column 0 of row 4
    e.Feed(Bytes{8});
    EXPECT_EQ(e.Cursor(), std::pair(79, 3)) << device;
    EXPECT_TRUE(CellBlank(e, 79, 3));
    EXPECT_FALSE(CellBlank(e, 78, 3));
    e.Feed(Bytes{200});  // the remapped Backspace acts the same
    EXPECT_EQ(e.screen.CursorColumn, 78);
    EXPECT_TRUE(CellBlank(e, 78, 3));
    EXPECT_EQ(e.screen.ScreenText, rows);
  }
  Engine top(true);
  top.Feed(Bytes{8});
  EXPECT_EQ(top.Cursor(), std::pair(79, 0));
}

TEST(NormalModeDecoder, LineCodesTabIgnoredCodesAndMissingParameters) {
  Engine e;
  e.CursorOff();
  e.Feed(Bytes{'A', 'B', 13});
  EXPECT_EQ(e.screen.CursorRow, 0);
  e.settings.CRmode = 1;
  e.Feed(Bytes{'C', 13, 'D', 'E', 10});
  EXPECT_EQ(e.Cursor(), std::pair(0, 2));
  // Tab moves one cell without drawing; home and row codes are ignored.
  e.Feed(Bytes{12, 9, 9, 1, 11, 2, 3});
  EXPECT_EQ(e.screen.CursorColumn, 1);
  EXPECT_TRUE(CellBlank(e, 0, 2));
  EXPECT_EQ(e.screen.ScreenText, "AB\rC\r\nDE\n ");
  EXPECT_EQ(e.screen.PreviousText, "");
  // A missing parameter is read from the port, or given up.
  e.port.Feed(Bytes{6});
  e.Feed(Bytes{'a', 12});  // colour code cut off after its first byte
  EXPECT_EQ(e.screen.TextColour, 6);
  EXPECT_EQ(e.decoder.CarryCount(), 0);
  EXPECT_TRUE(e.clock.sleeps.empty());
  // Nothing arrives: forty tries, then the byte left in the out block.
  e.Feed(Bytes{12, 4});
  e.Feed(Bytes{12});
  EXPECT_EQ(e.clock.sleeps, std::vector<int>(40, 2));
  EXPECT_EQ(e.screen.TextColour, 4);
  // A closed port cannot deliver it: no waiting at all.
  e.port.open = false;
  e.clock.sleeps.clear();
  e.Feed(Bytes{5});
  EXPECT_TRUE(e.clock.sleeps.empty());
}

TEST(Decoder, ScreenTextPresentsAndWindowlessChunks) {
  Engine e(/*deviceMode=*/true);
  for (int i = 0; i < 33; ++i) e.Feed(std::string(1000, 'w'));
  EXPECT_EQ(e.watcher.presents, 33);  // once per chunk
  // Characters stop being recorded at the limit; line breaks still are.
  EXPECT_EQ(e.screen.ScreenText.size(), 32700u);
  e.Feed(Bytes{13});
  EXPECT_EQ(e.screen.ScreenText.substr(32700), "\r\n");
  // Without a window chunks are dropped, cut-off commands included.
  e.decoder.SetPresenter(nullptr);
  e.Feed(Bytes{1, 'a', 10});
  EXPECT_EQ(e.screen.ScreenText.size(), 32702u);
  EXPECT_EQ(e.decoder.CarryCount(), 0);
}

TEST(PrintText, LinesGoToTheScreenOrWithoutAWindowToTheConsole) {
  Engine e;
  e.decoder.PrintLine("Start Upload");
  EXPECT_EQ(e.screen.ScreenText, "Start Upload\r\n");
  EXPECT_EQ(e.Cursor(), std::pair(0, 1));
  e.decoder.SetPresenter(nullptr);
  e.decoder.PrintText("Code Error -> Abort");
  e.decoder.PrintLine("..OK -> RUN");
  EXPECT_EQ(e.watcher.lines, (std::vector<std::string>{"Code Error -> Abort",
                                                       "..OK -> RUN\r", "\n"}));
  EXPECT_EQ(e.screen.ScreenText, "Start Upload\r\n");
}

// Own text must not complete the device's cut-off command, nor leave one.
TEST(PrintText, OwnTextKeepsTheDevicesCarryAndLeavesNoneOfItsOwn) {
  Engine e(/*deviceMode=*/true);
  e.CursorOff();
  e.Feed(Bytes{'a', 5, 1});  // a plot cut off after its command byte
  e.decoder.PrintLine("Time Out");
  e.decoder.ClearScreen();
  EXPECT_EQ(e.decoder.CarryCount(), 2);
  EXPECT_EQ(e.screen.PreviousText, "aTime Out\r\n");
  e.Feed(Bytes{3, 4});
  EXPECT_EQ(e.Px(6, 8), e.Entry(0));
  e.decoder.PrintText(std::string("\x0b", 1));  // row code without its row
  EXPECT_EQ(e.decoder.CarryCount(), 0);
  e.Feed("Z");
  EXPECT_EQ(e.screen.CursorRow, 0);
  EXPECT_EQ(e.screen.ScreenText, "Z");
  std::string text(10000, 'L');
  text[4089] = 11;  // a row code whose parameter lands in the next piece
  text[4090] = 3;
  e.decoder.PrintText(text);
  EXPECT_EQ(e.screen.ScreenText.size(), 9999u);
  EXPECT_GE(e.watcher.presents, 4);
  EXPECT_EQ(e.decoder.CarryCount(), 0);
}

// Random bytes keep the cursor on the grid (and memory access in bounds).
TEST(RandomStreams, BothModesAndOddGridSizes) {
  const int grids[][3] = {{80, 25, 1}, {80, 25, 2}, {1, 1, 3}, {3, 200, 4}};
  for (bool device : {true, false}) {
    for (const auto& [cols, rows, seed] : grids) {
      SCOPED_TRACE(testing::Message() << device << " " << cols << "x" << rows);
      Engine e(device, cols, rows);
      std::mt19937 rng(static_cast<unsigned>(seed));
      for (int chunk = 0; chunk < 150; ++chunk) {
        Bytes bytes(rng() % 1024 + 1);
        for (auto& b : bytes) b = rng() % 16 < 6 ? rng() % 16 : rng() & 0xFF;
        if (chunk % 7 == 0) e.port.Feed(Bytes{5, 0x81, 128});
        e.Feed(bytes);
        const TerminalScreen& s = e.screen;
        ASSERT_TRUE(s.CursorColumn >= 0 && s.CursorColumn < cols &&
                    s.CursorRow >= 0 && s.CursorRow < rows);
        ASSERT_LE(e.decoder.CarryCount(), 3);
      }
    }
  }
}

}  // namespace
}  // namespace kestrix::test
