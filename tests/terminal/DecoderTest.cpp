#include <gtest/gtest.h>

#include "EngineHarness.h"

namespace kestrix::test {
namespace {

TEST(Decoder, ControlCodesDrawAndMoveAsTheirModeSays) {
  struct Row {
    const char* name;
    bool device, crMode;
    std::string input;
    std::pair<int, int> cursor;
    std::string text;
    int row;
    std::string cells;
  };
  // A tab in inverse video, where a drawn space shows; colour 0 again.
  const std::string k80(80, 'k'), tab = std::string("\14\11\11\14\0", 5);
  // clang-format off
  const Row rows[] = {
      {"device home", true, false, "ab\1c", {1, 0}, "c", 0, "cb_"},
      {"device clear", true, false, std::string("ab\0c", 4), {1, 0}, "c", 0, "c_"},
      {"device ignored", true, false, "a\2\3\4\6\7b", {2, 0}, "ab", 0, "ab_"},
      {"device column and row", true, false, "a\n\125\13\36B", {6, 5}, "aB", 5, "_____B_"},
      {"device new line", true, false, "a\rb", {1, 1}, "a\r\nb", 1, "b_"},
      {"device tab from 7", true, false, "abcdefg" + tab + "x", {9, 0}, "abcdefgx", 0, "abcdefg#x_"},
      {"device tab from 8", true, false, "abcdefgh" + tab + "x", {17, 0}, "abcdefghx", 0, "abcdefgh########x_"},
      {"device backspace wraps", true, false, k80 + "\b", {79, 0}, k80, 0, k80.substr(1) + "_"},
      {"normal clear", false, false, std::string("ab\0c", 4), {1, 0}, "c", 0, "c_"},
      {"normal ignored", false, false, "a\1\2\3\4\6\7\13b", {2, 0}, "ab", 0, "ab_"},
      {"normal return", false, false, "AB\rC", {1, 0}, "AB\rC", 0, "CB_"},
      {"normal line feed", false, false, "AB\nC", {1, 1}, "AB\nC", 1, "C_"},
      {"normal tab", false, false, "a" + tab + "b", {3, 0}, "a b", 0, "a_b_"},
      {"normal backspace wraps", false, false, k80 + "\b", {79, 0}, k80, 0, k80.substr(1) + "_"},
      {"normal byte 200", false, false, "ab\310", {1, 0}, "ab", 0, "a_"},
      {"backspace at the top left", false, false, "\b", {79, 0}, "", 0, "_"},
      {"normal CR with Auto-LF feeds a line", false, true, "AB\rC", {1, 1}, "AB\r\nC", 1, "C_"},
  };
  // clang-format on
  for (const Row& row : rows) {
    EngineRig e(row.device);
    e.options.CRmode = row.crMode ? 1 : 0;
    e.Feed(row.input);
    EXPECT_EQ(e.Cursor(), row.cursor) << row.name;
    EXPECT_EQ(e.screen.ScreenText, row.text) << row.name;
    EXPECT_EQ(e.LineMismatch(row.row, row.cells), -1) << row.name;
  }
}

// Line ends and wraps near the bottom of a 10 x 4 grid whose rows read
// AAAAAAAAA, BBBBBBBBB, ...: from the row above the last nothing scrolls,
// from the last row the picture scrolls exactly once per line fed.
TEST(Decoder, LineEndsAndWrapsScrollOnlyFromTheLastRow) {
  struct Row {
    const char* name;
    bool device, crMode;
    int column, row;  // where the input starts
    std::string input;
    int scrolls;  // the cursor ends at (0, 3) in all rows
  };
  // clang-format off
  const Row rows[] = {
      {"device new line above the last row", true, false, 5, 2, "\r", 0},
      {"device new line on the last row", true, false, 5, 3, "\r", 1},
      {"device new line ignores Auto-LF", true, true, 5, 3, "\r", 1},
      {"device wrap above the last row", true, false, 9, 2, "z", 0},
      {"device wrap on the last row", true, false, 9, 3, "z", 1},
      {"device tab wrapping on the last row", true, false, 9, 3, "\t", 1},
      {"normal line feed above the last row", false, false, 5, 2, "\n", 0},
      {"normal line feed on the last row", false, false, 5, 3, "\n", 1},
      {"normal CR on the last row", false, false, 5, 3, "\r", 0},
      {"normal CR, Auto-LF, above the last row", false, true, 5, 2, "\r", 0},
      {"normal CR, Auto-LF, on the last row", false, true, 5, 3, "\r", 1},
      {"normal CR LF, Auto-LF, on the last row", false, true, 5, 3, "\r\n", 2},
      {"normal wrap above the last row", false, false, 9, 2, "z", 0},
      {"normal wrap on the last row", false, false, 9, 3, "z", 1},
      {"normal tab wrapping on the last row", false, false, 9, 3, "\t", 1},
  };
  // clang-format on
  for (const Row& row : rows) {
    EngineRig e(row.device, 10, 4);
    e.options.CRmode = row.crMode ? 1 : 0;
    for (int r = 0; r < 4; ++r) {
      e.Feed(Bytes{5, 0x0C, 0, static_cast<std::uint8_t>(r)});
      e.Feed(std::string(9, char('A' + r)));
    }
    e.Feed(Bytes{5, 0x0C, static_cast<std::uint8_t>(row.column),
                 static_cast<std::uint8_t>(row.row)});
    e.Feed(row.input);
    EXPECT_EQ(e.Cursor(), std::pair(0, 3)) << row.name;
    for (int r = 0; r < 4; ++r) {
      const int from = r + row.scrolls;  // the row that moved up to r
      std::string line =
          from < 4 ? std::string(9, char('A' + from)) : "_________";
      line += from == row.row && row.input == "z" ? 'z' : '_';
      EXPECT_EQ(e.LineMismatch(r, line), -1) << row.name << ", row " << r;
    }
  }
}

TEST(Decoder, NormalModeReadsMissingParametersFromThePort) {
  EngineRig e;
  e.port.Feed(Bytes{6});
  e.Feed(Bytes{'a', 12});  // colour code cut off after its first byte
  EXPECT_EQ(e.screen.TextColour, 6);
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
  const int row = e.screen.CursorRow;
  e.engine.SetPresenter(nullptr);
  e.Feed(Bytes{1, 'a', 10});
  EXPECT_EQ(e.screen.ScreenText.size(), 32702u);
  e.engine.SetPresenter(&e.watcher);
  e.Feed("Q");
  EXPECT_EQ(e.Cursor(), std::pair(1, row));
}

// Own text must not complete the device's cut-off command, nor leave one.
TEST(PrintText, OwnTextKeepsTheDevicesCarryAndLeavesNoneOfItsOwn) {
  EngineRig e(/*deviceMode=*/true);
  e.Feed(Bytes{'a', 5, 1});  // a plot cut off after its command byte
  e.engine.PrintLine("Time Out");
  e.engine.ClearScreen();
  EXPECT_EQ(e.screen.PreviousText, "aTime Out\r\n");
  e.Feed(Bytes{3, 4});
  EXPECT_EQ(e.Px(6, 8), e.Entry(0));
  e.engine.PrintText(std::string("\x0b", 1));  // row code without its row
  e.Feed("Z");
  EXPECT_EQ(e.LineMismatch(0, "Z_"), -1);
  std::string text(4100, 'L');
  text[4089] = 11;  // a row code whose parameter lands in the next piece
  text[4090] = 3;
  e.engine.PrintText(text);
  EXPECT_EQ(e.screen.ScreenText.size(), 1u + 4098u);
  EXPECT_EQ(e.Cursor(), std::pair(19, 3));  // 4090 cells on: column 10
}

}  // namespace
}  // namespace kestrix::test
