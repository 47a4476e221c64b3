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
    return rig.view.CheckedAmong(kMenuBaudFirst, kMenuBaudLast);
  }
  ProgramRig rig;
};

TEST_F(ProgramMenuTest, ModeTogglesFlipTheMarkAndTheValueBehindIt) {
  struct Toggle {
    int id;
    int Settings::*value;
  };
  const Toggle toggles[] = {
      {kMenuVirtualKeycodes, &Settings::VKeys},
      {kMenuTextCursor, &Settings::TxtCurs},
      {kMenuCrAutoLf, &Settings::CRmode},
      {kMenuNormalTerminal, &Settings::MsMoveOff},
  };
  for (const Toggle& t : toggles) {
    const bool before = rig.view.IsChecked(t.id);
    Menu(t.id);
    EXPECT_EQ(rig.view.IsChecked(t.id), !before) << t.id;
    EXPECT_EQ(rig.settings().*t.value, before ? 0 : 1) << t.id;
    Menu(t.id);
    EXPECT_EQ(rig.view.IsChecked(t.id), before) << t.id;
    EXPECT_EQ(rig.settings().*t.value, before ? 1 : 0) << t.id;
  }
}

TEST_F(ProgramMenuTest, NormalTerminalModeSetsTheDecoderFlagToo) {
  Menu(kMenuNormalTerminal);
  EXPECT_EQ(rig.settings().NormalTerminalFlag, 0);
  EXPECT_EQ(rig.settings().MsMoveOff, 0);
  Menu(kMenuNormalTerminal);
  EXPECT_EQ(rig.settings().NormalTerminalFlag, 1);
}

TEST_F(ProgramMenuTest, AutoModeTogglesOnlyTheMark) {
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
  const auto events = rig.port.events.size();
  Menu(kMenuBaudFirst + 7);
  EXPECT_EQ(rig.port.events.size(), events);
}

TEST_F(ProgramMenuTest, LeavingTheNormalTerminalFallsBackTo115200) {
  Menu(kMenuBaudFirst + 4);
  Menu(kMenuNormalTerminal);
  EXPECT_EQ(rig.settings().BaudRate, 0);
  EXPECT_EQ(rig.port.events.back(), "baud 0");
  EXPECT_EQ(CheckedBaudItems(), (std::vector<int>{kMenuBaudFirst}));
  EXPECT_TRUE(rig.view.IsEnabled(kMenuBaudFirst));
  for (int id = kMenuBaudFirst + 1; id <= kMenuBaudLast; ++id) {
    EXPECT_FALSE(rig.view.IsEnabled(id)) << id;
  }
  // Only 115200 is left, and it is applied already.
  const auto events = rig.port.events.size();
  Menu(kMenuBaudFirst);
  EXPECT_EQ(rig.port.events.size(), events);
  // A slow item that still arrives is forced back.
  Menu(kMenuBaudFirst + 2);
  EXPECT_EQ(rig.settings().BaudRate, 0);
  EXPECT_EQ(rig.port.events.size(), events);
  // Back in the normal terminal the slow rates return.
  Menu(kMenuNormalTerminal);
  EXPECT_TRUE(rig.view.IsEnabled(kMenuBaudLast));
}

TEST_F(ProgramMenuTest, RateIndexOutsideTheTableMarksNoOtherItem) {
  rig.settings().BaudRate = 8;  // as a settings file may hold
  rig.p().RefreshMenuState();
  EXPECT_EQ(rig.port.events.back(), "baud 8");
  EXPECT_TRUE(CheckedBaudItems().empty());
  EXPECT_FALSE(rig.view.IsChecked(kMenuCrAutoLf));
}

TEST_F(ProgramMenuTest, ScreenshotCopiesTheScreenAndInvertsOnlyTheCopy) {
  Raster& image = rig.p().screen.image;
  image.At(0, 0) = 0xFFFFFF;
  image.At(3, 5) = 0x123456;
  const Raster before = image;

  Menu(kMenuScreenshot);
  ASSERT_EQ(rig.host.clipboardImages.size(), 1u);
  EXPECT_EQ(rig.host.clipboardImages[0], before);

  rig.settings().InversScreenshot = 1;
  Menu(kMenuScreenshot);
  ASSERT_EQ(rig.host.clipboardImages.size(), 2u);
  const Raster& inverted = rig.host.clipboardImages[1];
  ASSERT_EQ(inverted.width(), 640);
  ASSERT_EQ(inverted.height(), 446);
  EXPECT_EQ(inverted.At(0, 0), 0x000000u);
  EXPECT_EQ(inverted.At(3, 5), 0xEDCBA9u);
  EXPECT_EQ(inverted.At(639, 445), 0xFFFFFFu);
  // The device reads these pixels back: the screen stays as it was.
  EXPECT_EQ(image, before);
}

TEST_F(ProgramMenuTest, CopyTextHandsOverTheTextOnceThenEmpty) {
  rig.p().decoder().PrintText("hello");
  Menu(kMenuCopyText);
  Menu(kMenuCopyText);
  EXPECT_EQ(rig.host.clipboardTexts, (std::vector<std::string>{"hello", ""}));
  EXPECT_EQ(rig.p().screen.ScreenText, "");
}

TEST_F(ProgramMenuTest, SaveTextWritesTheTextUnchangedAndKeepsIt) {
  rig.p().decoder().PrintText("abc\r");
  rig.WriteFile("out.txt", "an older and longer text");
  rig.host.saveAnswers.push_back({rig.PathOf("out.txt"), 0});
  Menu(kMenuSaveText);
  ASSERT_EQ(rig.host.saveRequests.size(), 1u);
  EXPECT_EQ(rig.host.saveRequests[0].title, "Save Text");
  EXPECT_EQ(rig.host.saveRequests[0].initialFile, "*.txt");
  EXPECT_EQ(rig.host.saveRequests[0].patterns, "Text(.txt)|*.txt");
  EXPECT_EQ(rig.host.saveRequests[0].index, 0);
  EXPECT_EQ(rig.ReadFile("out.txt"), "abc\r");
  EXPECT_EQ(rig.p().screen.ScreenText, "abc\r");
}

TEST_F(ProgramMenuTest, SaveTextThatCannotReplaceLeavesEverythingAsItWas) {
  rig.p().decoder().PrintText("abc");
  // A folder in the way: nothing can be written there.
  std::filesystem::create_directory(rig.folder / "taken.txt");
  rig.host.saveAnswers.push_back({rig.PathOf("taken.txt"), 0});
  Menu(kMenuSaveText);
  EXPECT_TRUE(std::filesystem::is_directory(rig.folder / "taken.txt"));
  // And no stray temporary file is left behind.
  int entries = 0;
  for (const auto& e : std::filesystem::directory_iterator(rig.folder)) {
    (void)e;
    ++entries;
  }
  EXPECT_EQ(entries, 1);
  // A cancelled requester writes nothing either.
  Menu(kMenuSaveText);
  EXPECT_EQ(rig.p().screen.ScreenText, "abc");
}

TEST_F(ProgramMenuTest, ClearEmptiesTheScreenAndResetsTheColour) {
  rig.p().decoder().PrintText(std::string("\x0c\x05Hi", 4));
  ASSERT_EQ(rig.p().screen.TextColour, 5);
  const int presents = rig.presenter.presents;
  Menu(kMenuClear);
  EXPECT_EQ(rig.p().screen.TextColour, 0);
  EXPECT_EQ(rig.p().screen.ScreenText, "");
  EXPECT_EQ(rig.p().screen.PreviousText, "Hi");
  EXPECT_EQ(rig.p().screen.CursorColumn, 0);
  EXPECT_EQ(rig.presenter.presents, presents + 1);
}

TEST_F(ProgramMenuTest, AboutPaintsThePanelThenHoldsForTwoSeconds) {
  Menu(kMenuAbout);
  const int panel = rig.Find("about panel");
  ASSERT_GE(panel, 0);
  EXPECT_EQ(rig.Find("sleep 2000", panel), panel + 1);
}

TEST_F(ProgramMenuTest, WebsiteOpensTheReadmeBesideTheProgram) {
  Menu(kMenuWebsite);
  rig.p().programFolder = "/opt/kestrix";
  Menu(kMenuWebsite);
  ASSERT_EQ(rig.host.documents.size(), 2u);
  EXPECT_EQ(rig.host.documents[0], (rig.folder / "README.md").string());
  EXPECT_EQ(rig.host.documents[1], "/opt/kestrix/README.md");
}

TEST_F(ProgramMenuTest, ResetPulsesTheConfiguredLineOnlyWhileOpen) {
  rig.port.events.clear();
  Menu(kMenuResetPropeller);
  EXPECT_EQ(rig.port.events,
            (std::vector<std::string>{"DTR+", "DTR-", "purge"}));
  rig.port.events.clear();
  rig.settings().UseRTS = 1;
  Menu(kMenuResetPropeller);
  EXPECT_EQ(rig.port.events,
            (std::vector<std::string>{"RTS+", "RTS-", "purge"}));
  rig.port.ClosePort();
  rig.port.events.clear();
  Menu(kMenuResetPropeller);
  EXPECT_TRUE(rig.port.events.empty());
}

TEST_F(ProgramMenuTest, SaveSettingsWritesTheDefaultFileWithTheAutoModeMark) {
  Menu(kMenuAutoMode);
  Menu(kMenuSaveSettings);
  const std::string text = rig.ReadFile("Kestrix2.ini");
  EXPECT_NE(text.find("\r\nAutoDis=0\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\r\nComNr=6\r\n"), std::string::npos) << text;
  EXPECT_EQ(rig.settings().AutoDis, 1);
}

TEST_F(ProgramMenuTest, QuitAndUnknownIds) {
  const auto log = rig.log;
  Menu(6);
  Menu(99);
  Menu(-1);
  EXPECT_EQ(rig.log, log);
  EXPECT_FALSE(rig.p().QuitRequested());
  Menu(kMenuQuit);
  EXPECT_TRUE(rig.p().QuitRequested());
}

// Load Settings

TEST_F(ProgramMenuTest, LoadSettingsCancelledStillResizesAndClears) {
  rig.p().decoder().PrintText(std::string("\x0c\x03Hi", 4));
  rig.view.resizes.clear();
  Menu(kMenuLoadSettings);
  ASSERT_EQ(rig.host.openRequests.size(), 1u);
  EXPECT_EQ(rig.host.openRequests[0].title, "Load Settings");
  EXPECT_EQ(rig.host.openRequests[0].initialFile, "*.ini");
  EXPECT_EQ(rig.host.openRequests[0].patterns, "Kestrix(.ini)|*.ini");
  EXPECT_EQ(rig.host.openRequests[0].index, 0);
  EXPECT_EQ(rig.view.resizes, (std::vector<std::pair<int, int>>{{640, 446}}));
  EXPECT_EQ(rig.p().screen.ScreenText, "");
  EXPECT_EQ(rig.p().screen.TextColour, 0);
}

TEST_F(ProgramMenuTest, LoadSettingsRebuildsWindowScreenMarksAndRate) {
  rig.WriteFile("other.ini",
                "[Config]\r\nComNr=0\r\nAutoDis=0\r\nVKeys=1\r\nTxtCurs=0\r\n"
                "MsMoveOff=1\r\nBaudRate=5\r\nCRmode=1\r\nCols=100\r\n"
                "Rows=30\r\nWindowScale=2\r\n");
  rig.host.openAnswers.push_back({rig.PathOf("other.ini"), 0});
  rig.view.resizes.clear();
  rig.port.events.clear();
  Menu(kMenuLoadSettings);
  // Port 0 never replaces the number while the program runs.
  EXPECT_EQ(rig.settings().ComNr, 6);
  EXPECT_EQ(rig.view.resizes, (std::vector<std::pair<int, int>>{{1600, 1041}}));
  // The image has no strip after a load.
  EXPECT_EQ(rig.p().screen.image.width(), 800);
  EXPECT_EQ(rig.p().screen.image.height(), 510);
  EXPECT_FALSE(rig.view.IsChecked(kMenuAutoMode));
  EXPECT_TRUE(rig.view.IsChecked(kMenuVirtualKeycodes));
  EXPECT_FALSE(rig.view.IsChecked(kMenuTextCursor));
  EXPECT_TRUE(rig.view.IsChecked(kMenuCrAutoLf));
  EXPECT_EQ(CheckedBaudItems(), (std::vector<int>{kMenuBaudFirst + 5}));
  // Re-clocked, never reopened: the new settings wait for the next connect.
  EXPECT_EQ(rig.port.events, (std::vector<std::string>{"baud 5"}));
}

TEST_F(ProgramMenuTest, LoadSettingsWithAPortNumberTakesIt) {
  rig.WriteFile("other.ini", "[Config]\r\nComNr=12\r\nMsMoveOff=0\r\n");
  rig.host.openAnswers.push_back({rig.PathOf("other.ini"), 0});
  Menu(kMenuLoadSettings);
  EXPECT_EQ(rig.settings().ComNr, 12);
  EXPECT_FALSE(rig.view.IsChecked(kMenuNormalTerminal));
  EXPECT_EQ(rig.settings().NormalTerminalFlag, 0);
  // The reader's BaudRate default of 1 is forced back in the device display.
  EXPECT_EQ(rig.settings().BaudRate, 0);
}

}  // namespace
}  // namespace kestrix::test
