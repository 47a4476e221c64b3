#include <gtest/gtest.h>

#include <filesystem>

#include "app/MenuIds.h"
#include "app/ProgramTestRig.h"

namespace kestrix::test {
namespace {

class ProgramMenuTest : public ProgramTest {};

TEST_F(ProgramMenuTest, ModeTogglesFlipTheMarkAndTheValueBehindIt) {
  const std::pair<int, bool RunState::*> toggles[] = {
      {kMenuVirtualKeycodes, &RunState::virtualKeys},
      {kMenuTextCursor, &RunState::textCursor},
      {kMenuCrAutoLf, &RunState::crAutoLf},
      {kMenuNormalTerminal, &RunState::mouseReportsHeldBack}};
  for (auto [id, value] : toggles) {
    const bool before = rig_.view.IsChecked(id);
    for (bool now : {!before, before}) {
      rig_.Menu(id);
      EXPECT_EQ(rig_.view.IsChecked(id), now) << id;
      EXPECT_EQ(rig_.p().state().*value, now) << id;
      EXPECT_EQ(rig_.p().state().mouseReportsHeldBack,
                rig_.p().state().normalTerminal);
    }
  }
  // The auto mode is only a mark until the settings are saved.
  rig_.Menu(kMenuAutoMode);
  EXPECT_FALSE(rig_.view.IsChecked(kMenuAutoMode));
  EXPECT_TRUE(rig_.settings().AutoDis);
  rig_.Menu(kMenuSaveSettings);
  const std::string text = rig_.temp.Read("Kestrix2.ini");
  EXPECT_NE(text.find("\r\nAutoDis=0\r\n"), std::string::npos) << text;
}

TEST_F(ProgramMenuTest, BaudItemsMoveTheMarkAndReclockThePort) {
  rig_.Menu(kMenuBaudFirst + 4);
  rig_.Menu(kMenuBaudFirst + 7);
  EXPECT_EQ(rig_.settings().BaudRate, 7);
  EXPECT_EQ(rig_.Of("port"), (Lines{"baud 4", "baud 7"}));
  rig_.log.clear();
  // Device display mode allows 115200 only; a slow item is forced back.
  rig_.Menu(kMenuNormalTerminal);
  rig_.Menu(kMenuBaudFirst + 2);
  EXPECT_EQ(rig_.settings().BaudRate, 0);
  EXPECT_EQ(rig_.Of("port"), Lines{"baud 0"});
  EXPECT_EQ(rig_.view.disabled, (std::set<int>{20, 21, 22, 23, 24, 25, 26}));
  rig_.Menu(kMenuNormalTerminal);
  EXPECT_TRUE(rig_.view.disabled.empty());
}

// The clipboard copy is inverted; the screen, read back by the device, not.
TEST_F(ProgramMenuTest, ScreenshotAndTextCommandsCopyAndSave) {
  rig_.Show("\x05\x01\x03\x05");  // a red dot at (3, 5)
  const Raster before = rig_.p().screen().image;
  rig_.Menu(kMenuScreenshot);
  rig_.LoadSettingsLines("InversScreenshot=1\r\n");
  rig_.Show("\x05\x01\x03\x05");
  rig_.Menu(kMenuScreenshot);
  ASSERT_EQ(rig_.host.clipboardImages.size(), 2u);
  EXPECT_EQ(rig_.host.clipboardImages[0], before);
  const Raster& inverted = rig_.host.clipboardImages[1];
  EXPECT_EQ(inverted.At(3, 5), 0xFFFFFFu - before.At(3, 5));
  EXPECT_EQ(inverted.At(639, 445), 0xFFFFFFu);
  EXPECT_EQ(rig_.p().screen().image, before);
  rig_.Show("hello");
  rig_.Menu(kMenuCopyText);
  rig_.Menu(kMenuCopyText);
  EXPECT_EQ(rig_.Of("host clipboard"), (Lines{"text hello", "text "}));
  rig_.Show(std::string("\0abc\r", 5));
  rig_.temp.Write("out.txt", "an older and longer text");
  rig_.host.saveAnswers.push_back({rig_.PathOf("out.txt"), 0});
  rig_.log.clear();
  rig_.Menu(kMenuSaveText);
  EXPECT_EQ(rig_.Of("host"),
            Lines{"save Save Text; *.txt; Text(.txt)|*.txt; 0"});
  EXPECT_EQ(rig_.temp.Read("out.txt"), "abc\r");
}

TEST_F(ProgramMenuTest, LoadSettingsRebuildsWindowScreenMarksAndRate) {
  const Raster& image = rig_.p().screen().image;
  const Colour stripColour = image.At(5, image.height() - 1);
  rig_.LoadSettingsLines(
      "ComNr=0\r\nAutoDis=0\r\nVKeys=7\r\nTxtCurs=0\r\nMsMoveOff=1\r\n"
      "BaudRate=5\r\nCRmode=-1\r\nCols=100\r\nRows=30\r\nWindowScale=2\r\n");
  EXPECT_EQ(rig_.settings().ComNr, 6);  // 0 never replaces it while running
  EXPECT_EQ(rig_.Of("view resize"), Lines{"1600x1041"});
  // The strip below the grid belongs to the image as at start-up.
  EXPECT_EQ(image.height(), 30 * 17 + 21);
  EXPECT_EQ(image.At(5, image.height() - 1), stripColour);
  EXPECT_EQ(
      rig_.view.checked,
      (std::set<int>{kMenuComEnabled, kMenuNormalTerminal, kMenuVirtualKeycodes,
                     kMenuCrAutoLf, kMenuBaudFirst + 5}));
  EXPECT_EQ(rig_.Of("port"), Lines{"baud 5"});  // re-clocked, never reopened
}

TEST_F(ProgramMenuTest, WebsiteOpensTheReadmeFoundFromTheProgramsFolder) {
  const std::pair<const char*, const char*> cases[] = {
      {"a/bin", "a/bin/README.md"},
      {"b/bin", "b/share/doc/kestrix/README.md"},
      {"c/build/src/gui", "c/README.md"},
      {"d/bin", nullptr}};  // where the README lies, if anywhere
  for (const auto& [programFolder, readme] : cases) {
    std::filesystem::create_directories(rig_.folder / programFolder);
    if (readme != nullptr) {
      std::filesystem::create_directories((rig_.folder / readme).parent_path());
      rig_.temp.Write(readme, "# Kestrix\n");
    }
    rig_.p().SetProgramFolder(rig_.folder / programFolder);
    rig_.log.clear();
    rig_.Menu(kMenuWebsite);
    EXPECT_EQ(
        rig_.Of("host"),
        Lines{readme ? "document " +
                           (rig_.folder / readme).make_preferred().string()
                     : "box Website / README.md not found"})
        << programFolder;
  }
}

class ProgramUploadTest : public ProgramTest {
 protected:
  void Upload(const std::string& path, int pattern) {
    rig_.host.openAnswers.push_back({path, pattern});
    rig_.Menu(kMenuUploadFile);
  }
};

TEST_F(ProgramUploadTest, BinaryUploadRunsAt115200AndRemembersTheFolder) {
  rig_.Menu(kMenuBaudFirst + 4);  // 9600
  rig_.temp.Write("demo.binary", std::string(8, '\0'));
  rig_.log.clear();
  Upload(rig_.PathOf("demo.binary"), 1);
  const Lines port = rig_.Of("port");
  EXPECT_EQ(port[0] + ", " + port[1] + " ... " + port.back(),
            "baud 0, DTR+ ... baud 4");
  // The eeprom kind comes back as binary; the requester starts there.
  EXPECT_EQ(rig_.p().UploadPatternIndex(), 0);
  rig_.log.clear();
  rig_.Menu(kMenuUploadFile);
  EXPECT_EQ(rig_.log,
            Lines{"host open Load Binary; " + (rig_.folder / "").string() +
                  "*.binary; Propeller(.binary)|*.binary|Propeller(.eeprom)|"
                  "*.eeprom|Text(.txt)|*.txt|OBJ file(.obj)|*.obj|Prepare|"
                  "*.bin;*.??a; 0"});
}

TEST_F(ProgramUploadTest, TheChosenKindDecidesNotTheExtension) {
  // A ".binary" file picked under Prepare is only remembered: the device's
  // block reads come from it.
  rig_.temp.Write("demo.binary", "abc");
  Upload(rig_.PathOf("demo.binary"), 4);
  EXPECT_EQ(rig_.p().UploadPatternIndex(), 4);
  rig_.Show(std::string("\x05\x81\x80\x00", 4));
  std::vector<std::uint8_t> block(512, 0);
  block[0] = 'a', block[1] = 'b', block[2] = 'c';
  EXPECT_EQ(rig_.port.writes, (std::vector<std::vector<std::uint8_t>>{
                                  block, {0x26, 0x01, 0, 0}}));  // sum 294
  rig_.log.clear();
  Upload("/p2/blink.obj", 3);  // asks for the hub address in hex
  EXPECT_EQ(rig_.p().UploadPatternIndex(), 3);
  // The monitor load drops stale input before it finds the file missing.
  EXPECT_EQ(Lines(rig_.log.begin() + 1, rig_.log.end()),
            (Lines{"host input Kestrix2; Hubaddress to load to? (hex); E80",
                   "port purge"}));
}

TEST_F(ProgramUploadTest, TextKindIsPacedByTheKindChosenBefore) {
  // The remembered kind is still the previous one during the send: after
  // OBJ (the start-up kind) each character is paced, after Text only each
  // line (100 ms with the text cursor on).
  rig_.temp.Write("t.txt", "ab");
  for (const auto& sleeps : {std::vector<int>{1, 1, 100}, {100}}) {
    rig_.clock.sleeps.clear();
    Upload(rig_.PathOf("t.txt"), 2);
    EXPECT_EQ(rig_.clock.sleeps, sleeps);
    EXPECT_EQ(rig_.p().UploadPatternIndex(), 2);
  }
}

}  // namespace
}  // namespace kestrix::test
