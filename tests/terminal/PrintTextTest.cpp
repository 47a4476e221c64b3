// The program's own lines: on the screen through the decoder, or on the
// console without a window.
#include <gtest/gtest.h>

#include "EngineHarness.h"

namespace kestrix::test {
namespace {

TEST(PrintText, LinesGoToTheScreenOrWithoutAWindowToTheConsole) {
  for (bool device : {false, true}) {
    Engine e(device);
    e.decoder.PrintLine("Start Upload");
    EXPECT_EQ(e.screen.ScreenText, "Start Upload\r\n") << device;
    EXPECT_EQ(e.screen.CursorRow, 1);
    EXPECT_EQ(e.screen.CursorColumn, 0);
  }
  Engine e;
  e.decoder.SetPresenter(nullptr);
  e.decoder.PrintText("Code Error -> Abort");
  e.decoder.PrintLine("..OK -> RUN");
  EXPECT_EQ(e.console.lines, (std::vector<std::string>{"Code Error -> Abort",
                                                       "..OK -> RUN\r", "\n"}));
  EXPECT_EQ(e.screen.ScreenText, "");
}

TEST(PrintText, OwnTextLeavesTheDevicesCutOffCommandAlone) {
  Engine e(/*deviceMode=*/true);
  e.CursorOff();
  e.Feed(Bytes{'a', 5, 1});  // a plot cut off after its command byte
  ASSERT_EQ(e.decoder.CarryCount(), 2);
  e.decoder.PrintLine("Time Out");
  e.decoder.ClearScreen();
  EXPECT_EQ(e.decoder.CarryCount(), 2);
  EXPECT_EQ(e.screen.PreviousText, "aTime Out\r\n");
  // The device's next bytes complete its own command.
  e.Feed(Bytes{3, 4});
  EXPECT_EQ(e.Px(6, 8), e.Entry(0));
  EXPECT_EQ(e.screen.ScreenText, "");
}

TEST(PrintText, OwnTextCutOffIsDroppedAndLongTextGoesInPieces) {
  Engine e(/*deviceMode=*/true);
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
  EXPECT_GE(e.presenter.presents, 4);
  EXPECT_EQ(e.decoder.CarryCount(), 0);
}

}  // namespace
}  // namespace kestrix::test
