#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <string>
#include <tuple>

#include "settings/IniFile.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"
#include "support/TempFolder.h"

namespace kestrix {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;

auto Fields(const Settings& s) {
  return std::tie(s.ComNr, s.FT232R, s.UseRTS, s.BinPath, s.AutoDis, s.VKeys,
                  s.TxtCurs, s.MsMoveOff, s.BaudRate, s.CRmode, s.Rows, s.Cols,
                  s.Autoload, s.InversScreenshot, s.WindowScale, s.palette);
}

class SettingsFileTest : public ::testing::Test {
 protected:
  Settings Load(const std::string& text, Settings settings = {}) {
    LoadSettings(folder_.Write("k.ini", text), settings);
    return settings;
  }
  TempFolder folder_;
};

TEST_F(SettingsFileTest, StartValuesReplaceAnOldFileWithTheExactFile) {
  const fs::path path = folder_.Write("Kestrix2.ini", std::string(5000, 'x'));
  ASSERT_TRUE(SaveSettings(path, Settings{}));
  EXPECT_EQ(
      folder_.Read("Kestrix2.ini"),
      "/* Kestrix Settings v0.5 */'\r\n[Config]\r\nComNr=6\r\nFT232R=0\r\n"
      "UseRTS=0\r\nBinPath=\r\nAutoDis=1\r\nVKeys=0\r\nTxtCurs=1\r\n"
      "MsMoveOff=1\r\nBaudRate=0\r\nCRmode=0\r\nRows=25\r\nCols=80\r\n"
      "Autoload=\r\nInversScreenshot=0\r\nWindowScale=1.000000\r\n"
      "[Colors]\r\npal_0=#FFFFFF\r\npal_1=#FFFF00\r\npal_2=#0000FF\r\n"
      "pal_3=#FF00FF\r\npal_4=#FF0000\r\npal_5=#00FF00\r\n"
      "pal_6=#00FFFF\r\npal_7=#C0C0C0\r\n");
}

TEST_F(SettingsFileTest, EveryKeyIsReadBackUnderItsOwnNameAndNoTextAddsALine) {
  // A value of its own for every number key; each flag off its start value.
  // clang-format off
  Settings saved{-3, true, true, "C:\\Propeller\\bin\\", false, true, false,
                 false, 9, true, std::numeric_limits<int>::min(), 132,
                 "demo.binary", true, 0.1f,
                 Palette{0x0, 0xF, 0x1234567, 0xFFFFFFFF, 0xFF, 0xFF00,
                         0x010203, 0xFEDCBA}};
  // clang-format on
  // The text of each key is pinned by the start-value file above.
  ASSERT_TRUE(SaveSettings(folder_ / "k.ini", saved));
  const Settings loaded = Load(folder_.Read("k.ini"));
  Settings expected = saved;
  expected.Autoload = "";
  expected.palette[2] = 0x123456;
  expected.palette[3] = 0xFFFFFF;
  EXPECT_EQ(Fields(loaded), Fields(expected));
  Settings settings;  // text values cannot inject lines
  settings.BinPath = "C:\\bin\r\n[Colors]\r\npal_0=#123456";
  ASSERT_TRUE(SaveSettings(folder_ / "k.ini", settings));
  EXPECT_EQ(folder_.Read("k.ini").find("123456"), std::string::npos);
  const Settings injected = Load(folder_.Read("k.ini"));
  EXPECT_EQ(injected.BinPath, "C:\\bin");
  EXPECT_EQ(injected.palette, kStartPalette);
}

TEST_F(SettingsFileTest, AbsentKeysTakeReaderDefaults) {
  const Settings settings{9,          false, true, "bin/",       true, true,
                          false,      false, 9,    true,         3,    4,
                          "x.binary", true,  3.0f, kStartPalette};
  // Only ComNr and BinPath keep their value; FT232R, AutoDis and BaudRate
  // default to other values than at start-up.
  Settings expected{9, true,  false, "bin/", false, false, true, true,
                    1, false, 25,    80,     "",    false, 1.0f};
  expected.palette[0] = 0;
  EXPECT_EQ(Fields(Load("[Colors]\r\npal_0=#000000\r\n", settings)),
            Fields(expected));
}

// Any value but 0 is on, for every reader alike, and is saved as 1; no other
// key moves.
TEST_F(SettingsFileTest, FlagKeysReadAnyValueButZeroAsOn) {
  for (const std::string key :
       {"FT232R", "UseRTS", "AutoDis", "VKeys", "TxtCurs", "MsMoveOff",
        "CRmode", "InversScreenshot"}) {
    std::string on = FormatSettings(Load("[Config]\r\n" + key + "=0"));
    const std::size_t at = on.find("\n" + key + "=0\r");
    ASSERT_NE(at, std::string::npos) << key;
    on[at + key.size() + 2] = '1';
    for (const char* value : {"7", "-1"}) {
      EXPECT_EQ(FormatSettings(Load("[Config]\r\n" + key + "=" + value)), on)
          << key << "=" << value;
    }
  }
}

TEST_F(SettingsFileTest,
       ColoursDropTheirFirstCharacterMarkedNamesFollowThePlatform) {
  EXPECT_EQ(Load("[Colors]\r\npal_0=#\r\npal_1=\r\npal_3=0000FF\r\n"
                 "pal_4=$E80\r\npal_5=#12345678FF\r\nPAL_6 = #00ff00  \r\n")
                .palette,
            (Palette{0, kStartPalette[1], kStartPalette[2], 0xFF, 0xE80,
                     0x345678FF, 0x00FF00, kStartPalette[7]}));
  const std::string utf8 = "/home/\303\234bung/";  // Übung
  EXPECT_EQ(
      Load("\xEF\xBB\xBF[Config]\r\nBinPath=" + utf8).BinPath,
      kPlatformMarkedText == MarkedText::kKeepUtf8 ? utf8 : "/home/\334bung/");
}

TEST_F(SettingsFileTest, FailuresChangeNothing) {
  Settings settings;
  settings.palette.fill(7);
  const Settings before = settings;
  LoadSettings(folder_ / "absent.ini", settings);
  LoadSettings(folder_.path(), settings);  // a folder is not a settings file
  EXPECT_EQ(Fields(settings), Fields(before));
  const fs::path blocker = folder_.Write("blocker", "old");
  fs::create_directory(folder_ / "Kestrix2.ini");
  for (const fs::path& path :
       {folder_ / "missing" / "Kestrix2.ini", blocker / "Kestrix2.ini",
        folder_ / "Kestrix2.ini"}) {
    EXPECT_FALSE(SaveSettings(path, settings)) << path;
  }
  EXPECT_EQ(folder_.Read("blocker"), "old");
  EXPECT_TRUE(fs::is_directory(folder_ / "Kestrix2.ini"));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_.path()), {}), 2);
}

}  // namespace
}  // namespace kestrix
