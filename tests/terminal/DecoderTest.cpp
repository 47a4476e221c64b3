// Control codes of both modes, carries across chunks, ScreenText, the
// program's own lines.
#include <gtest/gtest.h>

#include <random>

#include "EngineHarness.h"

namespace kestrix::test {
namespace {

constexpr int kBlankCell = -1;  // all black
constexpr int kPaperCell = -2;  // a space in inverse video: all white

struct Cell {
  int col, row, code;
};

struct CodeRow {
  const char* name;
  bool device;
  int crMode;
  Bytes input;
  std::pair<int, int> cursor;
  std::string text;
  std::vector<Cell> cells;
};

// Every code of both tables, checked by what the cells hold afterwards.
TEST(Decoder, ControlCodesDrawAndMoveAsTheirModeSays) {
  const std::string row0(80, 'k');
  auto cat = [](std::string a, const Bytes& b) {
    Bytes out(a.begin(), a.end());
    out.insert(out.end(), b.begin(), b.end());
    return out;
  };
  const CodeRow rows[] = {
      {"device home",
       true,
       0,
       {'a', 'b', 1, 'c'},
       {1, 0},
       "c",
       {{0, 0, 'c'}, {1, 0, 'b'}}},
      {"device clear",
       true,
       0,
       {'a', 'b', 0, 'c'},
       {1, 0},
       "c",
       {{0, 0, 'c'}, {1, 0, kBlankCell}}},
      {"device ignored",
       true,
       0,
       {'a', 2, 3, 4, 6, 7, 'b'},
       {2, 0},
       "ab",
       {{1, 0, 'b'}}},
      {"device column and row",
       true,
       0,
       {'a', 10, 85, 11, 30, 'B'},
       {6, 5},
       "aB",
       {{5, 5, 'B'}, {1, 0, kBlankCell}}},
      {"device new line",
       true,
       0,
       {'a', 13, 'b'},
       {1, 1},
       "a\r\nb",
       {{0, 1, 'b'}}},
      {"device new line scrolls",
       true,
       0,
       {11, 24, 'a', 13, 'b'},
       {1, 24},
       "a\r\nb",
       {{0, 23, 'a'}, {0, 24, 'b'}}},
      {"device tab from 7",
       true,
       0,
       cat("abcdefg", {12, 9, 9, 12, 0, 'x'}),
       {9, 0},
       "abcdefgx",
       {{7, 0, kPaperCell}, {8, 0, 'x'}}},
      {"device tab from 8",
       true,
       0,
       cat("abcdefgh", {12, 9, 9, 12, 0, 'x'}),
       {17, 0},
       "abcdefghx",
       {{15, 0, kPaperCell}, {16, 0, 'x'}}},
      {"device backspace wraps",
       true,
       0,
       cat(row0, {8}),
       {79, 0},
       row0,
       {{79, 0, kBlankCell}, {78, 0, 'k'}}},
      {"device byte 200",
       true,
       0,
       {'a', 'b', 200},
       {1, 0},
       "ab",
       {{1, 0, kBlankCell}, {0, 0, 'a'}}},
      {"normal clear",
       false,
       0,
       {'a', 'b', 0, 'c'},
       {1, 0},
       "c",
       {{0, 0, 'c'}, {1, 0, kBlankCell}}},
      {"normal ignored",
       false,
       0,
       {'a', 1, 2, 3, 4, 6, 7, 11, 'b'},
       {2, 0},
       "ab",
       {{1, 0, 'b'}}},
      {"normal return",
       false,
       0,
       {'A', 'B', 13, 'C'},
       {1, 0},
       "AB\rC",
       {{0, 0, 'C'}, {1, 0, 'B'}}},
      {"normal return with auto LF",
       false,
       1,
       {'A', 'B', 13, 'C'},
       {1, 1},
       "AB\r\nC",
       {{0, 1, 'C'}, {0, 0, 'A'}}},
      {"normal line feed",
       false,
       0,
       {'A', 'B', 10, 'C'},
       {1, 1},
       "AB\nC",
       {{0, 1, 'C'}, {1, 1, kBlankCell}}},
      {"normal line feed scrolls",
       false,
       0,
       {5, 0x0C, 0, 24, 'a', 10, 'b'},
       {1, 24},
       "a\nb",
       {{0, 23, 'a'}, {0, 24, 'b'}}},
      {"normal tab",
       false,
       0,
       {'a', 12, 9, 9, 12, 0, 'b'},
       {3, 0},
       "a b",
       {{1, 0, kBlankCell}, {2, 0, 'b'}}},
      {"normal backspace wraps",
       false,
       0,
       cat(row0, {8}),
       {79, 0},
       row0,
       {{79, 0, kBlankCell}, {78, 0, 'k'}}},
      {"normal byte 200",
       false,
       0,
       {'a', 'b', 200},
       {1, 0},
       "ab",
       {{1, 0, kBlankCell}, {0, 0, 'a'}}},
      {"backspace at the top left", false, 0, {8}, {79, 0}, "", {}},
  };
  for (const CodeRow& row : rows) {
    EngineRig e(row.device);
    e.CursorOff();
    e.options.CRmode = row.crMode;
    e.Feed(row.input);
    EXPECT_EQ(e.Cursor(), row.cursor) << row.name;
    EXPECT_EQ(e.screen.ScreenText, row.text) << row.name;
    for (const Cell& c : row.cells) {
      const bool shows = c.code == kBlankCell ? e.CellBlank(c.col, c.row)
                         : c.code == kPaperCell
                             ? e.CellShows(c.col, c.row, ' ', 0, kWhite)
                             : e.CellInk(c.col, c.row, c.code);
      EXPECT_TRUE(shows) << row.name << ": cell " << c.col << "," << c.row;
    }
  }
}

TEST(Decoder, DeviceModeCarriesCutOffCommandsToTheNextChunk) {
  EngineRig e(/*deviceMode=*/true);
  e.CursorOff();
  e.Feed(Bytes{'A', 10});
  EXPECT_EQ(e.engine.decoder().CarryCount(), 1);
  e.Feed(Bytes{5, 'B'});  // column 5, then "B" drawn there
  EXPECT_TRUE(e.CellInk(5, 0, 'B'));
  EXPECT_TRUE(e.CellBlank(1, 0));
  EXPECT_EQ(e.screen.ScreenText, "AB");
  // Escapes cut off after one and after three of their four bytes.
  e.Feed(Bytes{5, 1});
  EXPECT_EQ(e.engine.decoder().CarryCount(), 2);
  e.Feed(Bytes{10, 20});
  EXPECT_EQ(e.Px(20, 40), e.Entry(0));
  e.Feed(Bytes{'x', 5, 1, 30});
  EXPECT_EQ(e.engine.decoder().CarryCount(), 3);
  e.Feed(Bytes{30});
  EXPECT_EQ(e.Px(60, 60), e.Entry(0));
  EXPECT_EQ(e.engine.decoder().CarryCount(), 0);
  EXPECT_TRUE(e.clock.sleeps.empty());
  EXPECT_TRUE(e.port.writes.empty());
}

TEST(Decoder, NormalModeReadsMissingParametersFromThePort) {
  EngineRig e;
  e.port.Feed(Bytes{6});
  e.Feed(Bytes{'a', 12});  // colour code cut off after its first byte
  EXPECT_EQ(e.screen.TextColour, 6);
  EXPECT_EQ(e.engine.decoder().CarryCount(), 0);
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

TEST(Decoder, ScreenTextLimitPresentsAndWindowlessChunks) {
  EngineRig e(/*deviceMode=*/true);
  for (int i = 0; i < 33; ++i) e.Feed(std::string(1000, 'w'));
  EXPECT_EQ(e.watcher.presents, 33);  // once per chunk
  // Characters stop being recorded at the limit; line breaks still are.
  EXPECT_EQ(e.screen.ScreenText.size(), 32700u);
  e.Feed(Bytes{13});
  EXPECT_EQ(e.screen.ScreenText.substr(32700), "\r\n");
  // Without a window chunks are dropped, cut-off commands included.
  e.engine.SetPresenter(nullptr);
  e.Feed(Bytes{1, 'a', 10});
  EXPECT_EQ(e.screen.ScreenText.size(), 32702u);
  EXPECT_EQ(e.engine.decoder().CarryCount(), 0);
}

TEST(PrintText, LinesGoToTheScreenOrWithoutAWindowToTheConsole) {
  EngineRig e;
  e.engine.PrintLine("Start Upload");
  EXPECT_EQ(e.screen.ScreenText, "Start Upload\r\n");
  EXPECT_EQ(e.Cursor(), std::pair(0, 1));
  e.engine.SetPresenter(nullptr);
  e.engine.PrintText("Code Error -> Abort");
  e.engine.PrintLine("..OK -> RUN");
  EXPECT_EQ(e.watcher.lines, (std::vector<std::string>{"Code Error -> Abort",
                                                       "..OK -> RUN\r", "\n"}));
  EXPECT_EQ(e.screen.ScreenText, "Start Upload\r\n");
}

// Own text must not complete the device's cut-off command, nor leave one.
TEST(PrintText, OwnTextKeepsTheDevicesCarryAndLeavesNoneOfItsOwn) {
  EngineRig e(/*deviceMode=*/true);
  e.CursorOff();
  e.Feed(Bytes{'a', 5, 1});  // a plot cut off after its command byte
  e.engine.PrintLine("Time Out");
  e.engine.ClearScreen();
  EXPECT_EQ(e.engine.decoder().CarryCount(), 2);
  EXPECT_EQ(e.screen.PreviousText, "aTime Out\r\n");
  e.Feed(Bytes{3, 4});
  EXPECT_EQ(e.Px(6, 8), e.Entry(0));
  e.engine.PrintText(std::string("\x0b", 1));  // row code without its row
  EXPECT_EQ(e.engine.decoder().CarryCount(), 0);
  e.Feed("Z");
  EXPECT_TRUE(e.CellInk(0, 0, 'Z'));
  std::string text(4100, 'L');
  text[4089] = 11;  // a row code whose parameter lands in the next piece
  text[4090] = 3;
  e.engine.PrintText(text);
  EXPECT_EQ(e.screen.ScreenText.size(), 1u + 4098u);
  EXPECT_EQ(e.Cursor(), std::pair(19, 3));  // 4090 cells on: column 10
  EXPECT_TRUE(e.CellInk(18, 3, 'L'));
  EXPECT_EQ(e.engine.decoder().CarryCount(), 0);
}

// Random bytes keep the cursor on the grid (and memory access in bounds).
TEST(RandomStreams, BothModesAndOddGridSizes) {
  const int grids[][3] = {{80, 25, 1}, {1, 1, 3}, {3, 200, 4}};
  for (bool device : {true, false}) {
    for (const auto& [cols, rows, seed] : grids) {
      SCOPED_TRACE(testing::Message() << device << " " << cols << "x" << rows);
      EngineRig e(device, cols, rows);
      std::mt19937 rng(static_cast<unsigned>(seed));
      for (int chunk = 0; chunk < 150; ++chunk) {
        Bytes bytes(rng() % 1024 + 1);
        for (auto& b : bytes) b = rng() % 16 < 6 ? rng() % 16 : rng() & 0xFF;
        if (chunk % 7 == 0) e.port.Feed(Bytes{5, 0x81, 128});
        e.Feed(bytes);
        const TerminalScreen& s = e.screen;
        ASSERT_TRUE(s.CursorColumn >= 0 && s.CursorColumn < cols &&
                    s.CursorRow >= 0 && s.CursorRow < rows);
        ASSERT_LE(e.engine.decoder().CarryCount(), 3);
      }
    }
  }
}

}  // namespace
}  // namespace kestrix::test
