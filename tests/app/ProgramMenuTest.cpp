#include <gtest/gtest.h>

#include <filesystem>

#include "app/MenuIds.h"
#include "app/ProgramTestRig.h"

namespace kestrix::test {
namespace {

class ProgramMenuTest : public ::testing::Test {
 protected:
  void SetUp() override { rig.Start(); }
  void Menu(int id) { rig.p().OnMenuCommand(id); }
  std::vector<int> CheckedBaudItems() const {
    return rig.CheckedAmong(kMenuBaudFirst, kMenuBaudLast);
  }
  ProgramRig rig;
};

TEST_F(ProgramMenuTest, ModeTogglesFlipTheMarkAndTheValueBehindIt) {
  const std::pair<int, int Settings::*> toggles[] = {
      {kMenuVirtualKeycodes, &Settings::VKeys},
      {kMenuTextCursor, &Settings::TxtCurs},
      {kMenuCrAutoLf, &Settings::CRmode},
      {kMenuNormalTerminal, &Settings::MsMoveOff},
  };
  for (auto [id, value] : toggles) {
    const bool before = rig.view.IsChecked(id);
    for (bool now : {!before, before}) {
      Menu(id);
      EXPECT_EQ(rig.view.IsChecked(id), now) << id;
      EXPECT_EQ(rig.settings().*value, now ? 1 : 0) << id;
      // The decoder's flag follows the normal-terminal mode.
      EXPECT_EQ(rig.settings().NormalTerminalFlag, rig.settings().MsMoveOff);
    }
  }
  // The auto mode is only a mark until the settings are saved.
  Menu(kMenuAutoMode);
  EXPECT_FALSE(rig.view.IsChecked(kMenuAutoMode));
  EXPECT_EQ(rig.settings().AutoDis, 1);
}

TEST_F(ProgramMenuTest, BaudItemsMoveTheMarkAndReclockThePort) {
  Menu(kMenuBaudFirst + 4);  // 9600
  EXPECT_EQ(rig.settings().BaudRate, 4);
  EXPECT_EQ(CheckedBaudItems(), (std::vector<int>{kMenuBaudFirst + 4}));
  EXPECT_EQ(rig.port.baudIndex, 4);
  Menu(kMenuBaudFirst + 7);  // 1200
  EXPECT_EQ(CheckedBaudItems(), (std::vector<int>{kMenuBaudFirst + 7}));
  // Choosing the applied rate again does nothing.
  rig.log.clear();
  Menu(kMenuBaudFirst + 7);
  EXPECT_TRUE(rig.Of("port").empty());

  // Leaving the normal terminal falls back to 115200, the only rate left.
  Menu(kMenuNormalTerminal);
  EXPECT_EQ(rig.settings().BaudRate, 0);
  EXPECT_EQ(rig.Of("port"), Lines{"baud 0"});
  EXPECT_EQ(CheckedBaudItems(), (std::vector<int>{kMenuBaudFirst}));
  EXPECT_EQ(rig.view.disabled, (std::set<int>{20, 21, 22, 23, 24, 25, 26}));
  rig.log.clear();
  Menu(kMenuBaudFirst);
  // A slow item that still arrives is forced back.
  Menu(kMenuBaudFirst + 2);
  EXPECT_EQ(rig.settings().BaudRate, 0);
  EXPECT_TRUE(rig.Of("port").empty());
  // Back in the normal terminal the slow rates return.
  Menu(kMenuNormalTerminal);
  EXPECT_TRUE(rig.view.disabled.empty());

  // An index outside the table, as a settings file may hold, marks nothing.
  rig.settings().BaudRate = 8;
  rig.p().RefreshMenuState();
  EXPECT_EQ(rig.Of("port").back(), "baud 8");
  EXPECT_TRUE(CheckedBaudItems().empty());
  EXPECT_FALSE(rig.view.IsChecked(kMenuCrAutoLf));
}

TEST_F(ProgramMenuTest, ScreenshotCopiesTheScreenAndInvertsOnlyTheCopy) {
  Raster& image = rig.p().screen.image;
  image.At(0, 0) = 0xFFFFFF;
  image.At(3, 5) = 0x123456;
  const Raster before = image;
  Menu(kMenuScreenshot);
  rig.settings().InversScreenshot = 1;
  Menu(kMenuScreenshot);
  ASSERT_EQ(rig.host.clipboardImages.size(), 2u);
  EXPECT_EQ(rig.host.clipboardImages[0], before);
  const Raster& inverted = rig.host.clipboardImages[1];
  ASSERT_EQ(inverted.width(), 640);
  ASSERT_EQ(inverted.height(), 446);
  EXPECT_EQ(inverted.At(0, 0), 0x000000u);
  EXPECT_EQ(inverted.At(3, 5), 0xEDCBA9u);
  EXPECT_EQ(inverted.At(639, 445), 0xFFFFFFu);
  // The device reads these pixels back: the screen stays as it was.
  EXPECT_EQ(image, before);
}

TEST_F(ProgramMenuTest, TextCommandsCopyOnceClearAndSaveUnchanged) {
  rig.p().decoder().PrintText("hello");
  Menu(kMenuCopyText);
  Menu(kMenuCopyText);
  EXPECT_EQ(rig.Of("host clipboard"), (Lines{"text hello", "text "}));
  EXPECT_EQ(rig.p().screen.ScreenText, "");

  // Clear empties the screen and resets the colour.
  rig.p().decoder().PrintText(std::string("\x0c\x05Hi", 4));
  ASSERT_EQ(rig.p().screen.TextColour, 5);
  rig.log.clear();
  Menu(kMenuClear);
  EXPECT_EQ(rig.p().screen.TextColour, 0);
  EXPECT_EQ(rig.p().screen.ScreenText, "");
  EXPECT_EQ(rig.p().screen.PreviousText, "Hi");
  EXPECT_EQ(rig.p().screen.CursorColumn, 0);
  EXPECT_EQ(rig.Count("present"), 1);

  rig.p().decoder().PrintText("abc\r");
  rig.WriteFile("out.txt", "an older and longer text");
  rig.host.saveAnswers.push_back({rig.PathOf("out.txt"), 0});
  rig.log.clear();
  Menu(kMenuSaveText);
  EXPECT_EQ(rig.Of("host"),
            Lines{"save Save Text; *.txt; Text(.txt)|*.txt; 0"});
  EXPECT_EQ(rig.ReadFile("out.txt"), "abc\r");
  EXPECT_EQ(rig.p().screen.ScreenText, "abc\r");
}

TEST_F(ProgramMenuTest, SaveTextThatCannotReplaceLeavesEverythingAsItWas) {
  rig.p().decoder().PrintText("abc");
  // A folder in the way: nothing can be written there.
  std::filesystem::create_directory(rig.folder / "taken.txt");
  rig.host.saveAnswers.push_back({rig.PathOf("taken.txt"), 0});
  Menu(kMenuSaveText);
  // A cancelled requester writes nothing either.
  Menu(kMenuSaveText);
  EXPECT_TRUE(std::filesystem::is_directory(rig.folder / "taken.txt"));
  // And no stray temporary file is left behind.
  using Entries = std::filesystem::directory_iterator;
  EXPECT_EQ(std::distance(Entries(rig.folder), Entries()), 1);
  EXPECT_EQ(rig.p().screen.ScreenText, "abc");
}

TEST_F(ProgramMenuTest, HelpQuitResetAndUnknownIds) {
  // About paints the panel, then holds for two seconds.
  rig.log.clear();
  Menu(kMenuAbout);
  EXPECT_EQ(rig.log, (Lines{"view about panel", "sleep 2000"}));
  // Website opens the readme beside the program.
  Menu(kMenuWebsite);
  rig.p().programFolder = "/opt/kestrix";
  Menu(kMenuWebsite);
  EXPECT_EQ(rig.Of("host document"),
            (Lines{rig.PathOf("README.md"), "/opt/kestrix/README.md"}));

  // Reset pulses the configured line, only while the port is open.
  rig.log.clear();
  Menu(kMenuResetPropeller);
  rig.settings().UseRTS = 1;
  Menu(kMenuResetPropeller);
  rig.port.ClosePort();
  Menu(kMenuResetPropeller);
  EXPECT_EQ(rig.Of("port"),
            (Lines{"DTR+", "DTR-", "purge", "RTS+", "RTS-", "purge", "close"}));

  rig.log.clear();
  for (int id : {6, 99, -1}) Menu(id);
  EXPECT_TRUE(rig.log.empty());
  EXPECT_FALSE(rig.p().QuitRequested());
  Menu(kMenuQuit);
  EXPECT_TRUE(rig.p().QuitRequested());
}

TEST_F(ProgramMenuTest, SaveSettingsWritesTheDefaultFileWithTheAutoModeMark) {
  Menu(kMenuAutoMode);
  Menu(kMenuSaveSettings);
  const std::string text = rig.ReadFile("Kestrix2.ini");
  EXPECT_NE(text.find("\r\nAutoDis=0\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\r\nComNr=6\r\n"), std::string::npos) << text;
  EXPECT_EQ(rig.settings().AutoDis, 1);
}

TEST_F(ProgramMenuTest, LoadSettingsCancelledStillResizesAndClears) {
  rig.p().decoder().PrintText(std::string("\x0c\x03Hi", 4));
  rig.log.clear();
  Menu(kMenuLoadSettings);
  EXPECT_EQ(rig.Of("host"),
            Lines{"open Load Settings; *.ini; Kestrix(.ini)|*.ini; 0"});
  EXPECT_EQ(rig.Of("view resize"), Lines{"640x446"});
  EXPECT_EQ(rig.p().screen.ScreenText, "");
  EXPECT_EQ(rig.p().screen.TextColour, 0);
}

TEST_F(ProgramMenuTest, LoadSettingsRebuildsWindowScreenMarksAndRate) {
  rig.WriteFile("other.ini",
                "[Config]\r\nComNr=0\r\nAutoDis=0\r\nVKeys=1\r\nTxtCurs=0\r\n"
                "MsMoveOff=1\r\nBaudRate=5\r\nCRmode=1\r\nCols=100\r\n"
                "Rows=30\r\nWindowScale=2\r\n");
  rig.host.openAnswers.push_back({rig.PathOf("other.ini"), 0});
  rig.log.clear();
  Menu(kMenuLoadSettings);
  // Port 0 never replaces the number while the program runs.
  EXPECT_EQ(rig.settings().ComNr, 6);
  EXPECT_EQ(rig.Of("view resize"), Lines{"1600x1041"});
  // The image has no strip after a load.
  EXPECT_EQ(rig.p().screen.image.width(), 800);
  EXPECT_EQ(rig.p().screen.image.height(), 510);
  EXPECT_EQ(
      rig.view.checked,
      (std::set<int>{kMenuComEnabled, kMenuNormalTerminal, kMenuVirtualKeycodes,
                     kMenuCrAutoLf, kMenuBaudFirst + 5}));
  // Re-clocked, never reopened: the new settings wait for the next connect.
  EXPECT_EQ(rig.Of("port"), Lines{"baud 5"});

  // A port number in the file is taken; the reader's BaudRate default of 1
  // is forced back in the device display.
  rig.WriteFile("other.ini", "[Config]\r\nComNr=12\r\nMsMoveOff=0\r\n");
  rig.host.openAnswers.push_back({rig.PathOf("other.ini"), 0});
  Menu(kMenuLoadSettings);
  EXPECT_EQ(rig.settings().ComNr, 12);
  EXPECT_FALSE(rig.view.IsChecked(kMenuNormalTerminal));
  EXPECT_EQ(rig.settings().NormalTerminalFlag, 0);
  EXPECT_EQ(rig.settings().BaudRate, 0);
}

}  // namespace
}  // namespace kestrix::test
