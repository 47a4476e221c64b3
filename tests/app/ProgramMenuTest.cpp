#include <gtest/gtest.h>

#include <filesystem>

#include "app/MenuIds.h"
#include "app/ProgramTestRig.h"

namespace kestrix::test {
namespace {

class ProgramMenuTest : public ProgramTest {};

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
      rig.Menu(id);
      EXPECT_EQ(rig.view.IsChecked(id), now) << id;
      EXPECT_EQ(rig.settings().*value, now ? 1 : 0) << id;
      EXPECT_EQ(rig.settings().NormalTerminalFlag, rig.settings().MsMoveOff);
    }
  }
  // The auto mode is only a mark until the settings are saved.
  rig.Menu(kMenuAutoMode);
  EXPECT_FALSE(rig.view.IsChecked(kMenuAutoMode));
  EXPECT_EQ(rig.settings().AutoDis, 1);
  rig.Menu(kMenuSaveSettings);
  const std::string text = rig.ReadFile("Kestrix2.ini");
  EXPECT_NE(text.find("\r\nAutoDis=0\r\n"), std::string::npos) << text;
}

TEST_F(ProgramMenuTest, BaudItemsMoveTheMarkAndReclockThePort) {
  rig.Menu(kMenuBaudFirst + 4);  // 9600
  rig.Menu(kMenuBaudFirst + 7);  // 1200
  EXPECT_EQ(rig.settings().BaudRate, 7);
  EXPECT_EQ(rig.Of("port"), (Lines{"baud 4", "baud 7"}));
  rig.log.clear();
  // Device display mode allows 115200 only; a slow item is forced back.
  rig.Menu(kMenuNormalTerminal);
  rig.Menu(kMenuBaudFirst + 2);
  EXPECT_EQ(rig.settings().BaudRate, 0);
  EXPECT_EQ(rig.Of("port"), Lines{"baud 0"});
  EXPECT_EQ(rig.view.disabled, (std::set<int>{20, 21, 22, 23, 24, 25, 26}));
  rig.Menu(kMenuNormalTerminal);
  EXPECT_TRUE(rig.view.disabled.empty());
}

// The clipboard copy is inverted; the screen, read back by the device, not.
TEST_F(ProgramMenuTest, ScreenshotCopiesTheScreenAndInvertsOnlyTheCopy) {
  Raster& image = rig.p().screen.image;
  image.At(3, 5) = 0x123456;
  const Raster before = image;
  rig.Menu(kMenuScreenshot);
  rig.settings().InversScreenshot = 1;
  rig.Menu(kMenuScreenshot);
  ASSERT_EQ(rig.host.clipboardImages.size(), 2u);
  EXPECT_EQ(rig.host.clipboardImages[0], before);
  const Raster& inverted = rig.host.clipboardImages[1];
  ASSERT_EQ(inverted.width() * inverted.height(), 640 * 446);
  EXPECT_EQ(inverted.At(3, 5), 0xEDCBA9u);
  EXPECT_EQ(inverted.At(639, 445), 0xFFFFFFu);
  EXPECT_EQ(image, before);
}

TEST_F(ProgramMenuTest, TextCommandsCopyOnceAndSave) {
  rig.p().engine.PrintText("hello");
  rig.Menu(kMenuCopyText);
  rig.Menu(kMenuCopyText);
  EXPECT_EQ(rig.Of("host clipboard"), (Lines{"text hello", "text "}));

  rig.p().engine.PrintText("abc\r");
  rig.WriteFile("out.txt", "an older and longer text");
  rig.host.saveAnswers.push_back({rig.PathOf("out.txt"), 0});
  rig.log.clear();
  rig.Menu(kMenuSaveText);
  EXPECT_EQ(rig.Of("host"),
            Lines{"save Save Text; *.txt; Text(.txt)|*.txt; 0"});
  EXPECT_EQ(rig.ReadFile("out.txt"), "abc\r");
}

// Saving goes through a temporary file: a failed save leaves no trace.
TEST_F(ProgramMenuTest, SaveTextThatCannotReplaceLeavesEverythingAsItWas) {
  rig.p().engine.PrintText("abc");
  std::filesystem::create_directory(rig.folder / "taken.txt");
  rig.host.saveAnswers.push_back({rig.PathOf("taken.txt"), 0});
  rig.Menu(kMenuSaveText);
  EXPECT_TRUE(std::filesystem::is_directory(rig.folder / "taken.txt"));
  using Entries = std::filesystem::directory_iterator;
  EXPECT_EQ(std::distance(Entries(rig.folder), Entries()), 1);
  EXPECT_EQ(rig.p().screen.ScreenText, "abc");
}

TEST_F(ProgramMenuTest, LoadSettingsRebuildsWindowScreenMarksAndRate) {
  rig.WriteFile("other.ini",
                "[Config]\r\nComNr=0\r\nAutoDis=0\r\nVKeys=1\r\nTxtCurs=0\r\n"
                "MsMoveOff=1\r\nBaudRate=5\r\nCRmode=1\r\nCols=100\r\n"
                "Rows=30\r\nWindowScale=2\r\n");
  rig.host.openAnswers.push_back({rig.PathOf("other.ini"), 0});
  rig.log.clear();
  rig.Menu(kMenuLoadSettings);
  EXPECT_EQ(rig.settings().ComNr, 6);  // 0 never replaces it while running
  EXPECT_EQ(rig.Of("view resize"), Lines{"1600x1041"});
  // No strip below the screen after a load.
  EXPECT_EQ(rig.p().screen.image.height(), 510);
  EXPECT_EQ(
      rig.view.checked,
      (std::set<int>{kMenuComEnabled, kMenuNormalTerminal, kMenuVirtualKeycodes,
                     kMenuCrAutoLf, kMenuBaudFirst + 5}));
  // Re-clocked, never reopened.
  EXPECT_EQ(rig.Of("port"), Lines{"baud 5"});
}

}  // namespace
}  // namespace kestrix::test
