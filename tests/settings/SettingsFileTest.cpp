#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <string_view>
#include <tuple>

#include "settings/Settings.h"
#include "settings/SettingsFile.h"

namespace kestrix {
namespace {

namespace fs = std::filesystem;

// The file that start-up values give with the Auto Mode checked.
constexpr std::string_view kStartFile =
    "/* Kestrix Settings v0.5 */'\r\n[Config]\r\n"
    "ComNr=6\r\nFT232R=0\r\nUseRTS=0\r\nBinPath=\r\nAutoDis=1\r\nVKeys=0\r\n"
    "TxtCurs=1\r\nMsMoveOff=1\r\nBaudRate=0\r\nCRmode=0\r\nRows=25\r\n"
    "Cols=80\r\nAutoload=\r\nInversScreenshot=0\r\nWindowScale=1.000000\r\n"
    "[Colors]\r\npal_0=#FFFFFF\r\npal_1=#FFFF00\r\npal_2=#0000FF\r\n"
    "pal_3=#FF00FF\r\npal_4=#FF0000\r\npal_5=#00FF00\r\npal_6=#00FFFF\r\n"
    "pal_7=#C0C0C0\r\n";

class SettingsFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("kestrix_settings_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path Write(std::string_view contents, const char* name = "k.ini") {
    std::ofstream(dir_ / name, std::ios::binary) << contents;
    return dir_ / name;
  }
  static std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  // Loads `contents` over start values.
  Settings Load(std::string_view contents) {
    Settings settings;
    LoadSettings(Write(contents), settings);
    return settings;
  }

  fs::path dir_;
};

// Every field, for whole-record comparisons.
auto Fields(const Settings& s) {
  return std::tie(s.ComNr, s.FT232R, s.UseRTS, s.BinPath, s.AutoDis, s.VKeys,
                  s.TxtCurs, s.MsMoveOff, s.BaudRate, s.CRmode, s.Rows, s.Cols,
                  s.Autoload, s.InversScreenshot, s.WindowScale, s.palette,
                  s.NormalTerminalFlag);
}

TEST_F(SettingsFileTest, StartValuesReplaceAnOldFileWithTheExactFile) {
  const fs::path path = Write(std::string(5000, 'x'), "Kestrix2.ini");
  ASSERT_TRUE(SaveSettings(path, Settings{}, 1));
  EXPECT_EQ(Read(path), kStartFile);
  // No temporary file is left behind.
  EXPECT_EQ(
      std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(SettingsFileTest, FormatsNumbersAndColours) {
  Settings settings;
  settings.ComNr = -3;
  settings.Rows = std::numeric_limits<int>::min();
  settings.WindowScale = 0.1f;  // not exact in binary: six decimals, rounded
  settings.AutoDis = 1;
  settings.Autoload = "boot.binary";
  settings.palette = {0x0, 0xF, 0x1234567, 0xFFFFFFFF, 0, 0, 0, 0};
  const std::string text = FormatSettings(settings, 0);
  for (std::string_view line :
       {"\r\nAutoDis=0\r\n", "\r\nAutoload=\r\n", "\r\nComNr=-3\r\n",
        "\r\nRows=-2147483648\r\n", "\r\nWindowScale=0.100000\r\n",
        "\r\npal_0=#000000\r\n", "\r\npal_1=#00000F\r\n",
        "\r\npal_2=#123456\r\n", "\r\npal_3=#FFFFFF\r\n"}) {
    EXPECT_NE(text.find(line), std::string::npos) << line;
  }
}

TEST_F(SettingsFileTest, RoundTripKeepsEverythingButAutoloadAndAutoDis) {
  Settings saved;
  saved.ComNr = 12;
  saved.FT232R = saved.UseRTS = saved.AutoDis = saved.VKeys = 1;
  saved.BinPath = "C:\\Propeller\\bin\\";
  saved.TxtCurs = saved.MsMoveOff = saved.NormalTerminalFlag = 0;
  saved.BaudRate = 4;
  saved.CRmode = saved.InversScreenshot = 1;
  saved.Rows = 40;
  saved.Cols = 132;
  saved.Autoload = "demo.binary";
  saved.WindowScale = 1.25f;
  saved.palette = {0x000000, 0x123456, 0xABCDEF, 0x0000FF,
                   0x00FF00, 0xFF0000, 0x010203, 0xFEDCBA};
  ASSERT_TRUE(SaveSettings(dir_ / "round.ini", saved, 0));
  Settings loaded;
  LoadSettings(dir_ / "round.ini", loaded);
  Settings expected = saved;
  expected.Autoload = "";
  expected.AutoDis = 0;
  EXPECT_EQ(Fields(loaded), Fields(expected));
}

TEST_F(SettingsFileTest, AbsentConfigKeysTakeReaderDefaults) {
  Settings settings;
  settings.ComNr = 9;
  settings.BinPath = "bin/";
  settings.Autoload = "x.binary";
  settings.Rows = 3;
  settings.MsMoveOff = settings.NormalTerminalFlag = 0;
  settings.WindowScale = 3.0f;
  Settings expected = settings;
  LoadSettings(Write("[Colors]\r\npal_0=#000000\r\n"), settings);
  // Only ComNr and BinPath keep their value; three defaults differ from the
  // start-up values.
  expected.FT232R = 1;
  expected.AutoDis = 0;
  expected.BaudRate = 1;
  expected.Autoload = "";
  expected.Rows = 25;
  expected.MsMoveOff = expected.NormalTerminalFlag = 1;
  expected.WindowScale = 1.0f;
  expected.palette[0] = 0;
  EXPECT_EQ(Fields(settings), Fields(expected));
}

TEST_F(SettingsFileTest, ValuesAreReadAsWritten) {
  // Colours drop their first character, whatever it is.
  const Settings colours = Load(
      "[Colors]\r\npal_0=#\r\npal_1=\r\npal_3=0000FF\r\npal_4=$E80\r\n"
      "pal_5=#12345678FF\r\nPAL_6 = #00ff00  \r\n");
  EXPECT_EQ(colours.palette,
            (Palette{0, kStartPalette[1], kStartPalette[2], 0xFF, 0xE80,
                     0x345678FF, 0x00FF00, kStartPalette[7]}));
  // A marked file's UTF-8 text is held as Latin-1.
  EXPECT_EQ(
      Load("\xEF\xBB\xBF[Config]\r\nBinPath=S\xC3\xBC\xC3\x9F\r\n").BinPath,
      "S\xFC\xDF");
}

TEST_F(SettingsFileTest, MissingOrUnreadableFileChangesNothing) {
  Settings settings;
  settings.palette.fill(7);
  const Settings before = settings;
  LoadSettings(dir_ / "absent.ini", settings);
  LoadSettings(dir_, settings);  // a folder is not a settings file
  EXPECT_EQ(Fields(settings), Fields(before));
}

TEST_F(SettingsFileTest, TextValuesCannotInjectLines) {
  Settings settings;
  settings.BinPath = "C:\\bin\r\n[Colors]\r\npal_0=#123456";
  ASSERT_TRUE(SaveSettings(dir_ / "inject.ini", settings, 1));
  Settings loaded;
  LoadSettings(dir_ / "inject.ini", loaded);
  EXPECT_EQ(loaded.BinPath, "C:\\bin");
  EXPECT_EQ(loaded.palette, kStartPalette);
  EXPECT_EQ(Read(dir_ / "inject.ini").find("123456"), std::string::npos);
}

TEST_F(SettingsFileTest, FailedSaveReturnsFalseAndKeepsOldFile) {
  EXPECT_FALSE(SaveSettings(dir_ / "missing" / "Kestrix2.ini", Settings{}, 1));
  EXPECT_FALSE(fs::exists(dir_ / "missing"));
  // A regular file where a folder should be.
  const fs::path blocker = Write("old", "blocker");
  EXPECT_FALSE(SaveSettings(blocker / "Kestrix2.ini", Settings{}, 1));
  EXPECT_EQ(Read(blocker), "old");
  // A folder where the file should be: the rename fails, nothing is left.
  fs::create_directory(dir_ / "Kestrix2.ini");
  EXPECT_FALSE(SaveSettings(dir_ / "Kestrix2.ini", Settings{}, 1));
  EXPECT_TRUE(fs::is_directory(dir_ / "Kestrix2.ini"));
  EXPECT_EQ(
      std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2);
}

}  // namespace
}  // namespace kestrix
