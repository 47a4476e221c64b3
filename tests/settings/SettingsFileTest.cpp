#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <random>
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
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ =
        fs::temp_directory_path() /
        ("kestrix_settings_" + std::to_string(::getpid()) + "_" + info->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(dir_, ignored);
  }

  fs::path Write(std::string_view contents, const char* name = "k.ini") {
    const fs::path path = dir_ / name;
    std::ofstream out(path, std::ios::binary);
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
    return path;
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
  settings.WindowScale = 1.5f;
  settings.AutoDis = 1;
  settings.Autoload = "boot.binary";
  settings.palette = {0x0,        0xF,      0xABCDEF, 0x1234567,
                      0xFFFFFFFF, 0x00A0B0, 1,        0x10};
  const std::string text = FormatSettings(settings, 0);
  for (std::string_view line :
       {"\r\nAutoDis=0\r\n", "\r\nAutoload=\r\n", "\r\nComNr=-3\r\n",
        "\r\nRows=-2147483648\r\n", "\r\nWindowScale=1.500000\r\n",
        "\r\npal_0=#000000\r\n", "\r\npal_1=#00000F\r\n",
        "\r\npal_2=#ABCDEF\r\n", "\r\npal_3=#123456\r\n",
        "\r\npal_4=#FFFFFF\r\n", "\r\npal_5=#00A0B0\r\n",
        "\r\npal_6=#000001\r\n", "\r\npal_7=#000010\r\n"}) {
    EXPECT_NE(text.find(line), std::string::npos) << line;
  }
  settings.WindowScale = 0.1f;  // not exact in binary: six decimals, rounded
  EXPECT_NE(FormatSettings(settings, 1).find("\r\nWindowScale=0.100000\r\n"),
            std::string::npos);
}

TEST_F(SettingsFileTest, RoundTripKeepsEverythingButAutoloadAndAutoDis) {
  Settings saved;
  saved.ComNr = 12;
  saved.FT232R = 1;
  saved.UseRTS = 1;
  saved.BinPath = "C:\\Propeller\\bin\\";
  saved.AutoDis = 1;
  saved.VKeys = 1;
  saved.TxtCurs = 0;
  saved.MsMoveOff = 0;
  saved.NormalTerminalFlag = 0;
  saved.BaudRate = 4;
  saved.CRmode = 1;
  saved.Rows = 40;
  saved.Cols = 132;
  saved.Autoload = "demo.binary";
  saved.InversScreenshot = 1;
  saved.WindowScale = 1.25f;
  saved.palette = {0x000000, 0x123456, 0xABCDEF, 0x0000FF,
                   0x00FF00, 0xFF0000, 0x010203, 0xFEDCBA};
  const fs::path path = dir_ / "round.ini";
  ASSERT_TRUE(SaveSettings(path, saved, 0));

  Settings loaded;
  LoadSettings(path, loaded);
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

TEST_F(SettingsFileTest, ColourValuesDropTheirFirstCharacter) {
  const Settings settings = Load(
      "[Colors]\r\n"
      "pal_0=#\r\n"
      "pal_1=\r\n"
      "pal_2=#0000ff\r\n"
      "pal_3=0000FF\r\n"
      "pal_4=$E80\r\n"
      "pal_5=#12345678FF\r\n"
      "PAL_6 = #00ff00  \r\n");
  EXPECT_EQ(settings.palette[0], 0x000000u);
  EXPECT_EQ(settings.palette[1], kStartPalette[1]);
  EXPECT_EQ(settings.palette[2], 0x0000FFu);
  EXPECT_EQ(settings.palette[3], 0x000FFu);
  EXPECT_EQ(settings.palette[4], 0xE80u);
  EXPECT_EQ(settings.palette[5], 0x345678FFu);
  EXPECT_EQ(settings.palette[6], 0x00FF00u);
  EXPECT_EQ(settings.palette[7], kStartPalette[7]);
}

TEST_F(SettingsFileTest, WindowScaleAndTextAreReadAsWritten) {
  // The scale takes the longest decimal prefix, out of range is infinite.
  EXPECT_EQ(Load("[Config]\r\nWindowScale=2,5\r\n").WindowScale, 2.0f);
  EXPECT_TRUE(std::isinf(Load("[Config]\r\nWindowScale=1e99\r\n").WindowScale));
  // A marked file's UTF-8 text is held as Latin-1.
  const Settings utf8 =
      Load("\xEF\xBB\xBF[Config]\r\nBinPath=D:\\S\xC3\xBC\xC3\x9F\\\r\n");
  EXPECT_EQ(utf8.BinPath, "D:\\S\xFC\xDF\\");
}

TEST_F(SettingsFileTest, MissingOrUnreadableFileChangesNothing) {
  Settings settings;
  settings.ComNr = 42;
  settings.palette.fill(7);
  const Settings before = settings;
  LoadSettings(dir_ / "absent.ini", settings);
  EXPECT_EQ(Fields(settings), Fields(before));
  LoadSettings(dir_, settings);  // a folder is not a settings file
  EXPECT_EQ(Fields(settings), Fields(before));
}

TEST_F(SettingsFileTest, TextValuesCannotInjectLines) {
  Settings settings;
  settings.BinPath = "C:\\bin\r\n[Colors]\r\npal_0=#123456";
  const fs::path path = dir_ / "inject.ini";
  ASSERT_TRUE(SaveSettings(path, settings, 1));
  Settings loaded;
  LoadSettings(path, loaded);
  EXPECT_EQ(loaded.BinPath, "C:\\bin");
  EXPECT_EQ(loaded.palette, kStartPalette);
  EXPECT_EQ(Read(path).find("123456"), std::string::npos);
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
  EXPECT_FALSE(fs::exists(dir_ / "Kestrix2.ini.kestrix-tmp"));
}

TEST_F(SettingsFileTest, ReadOnlyFolderKeepsOldFile) {
  const fs::path folder = dir_ / "locked";
  fs::create_directory(folder);
  const fs::path path = folder / "Kestrix2.ini";
  { std::ofstream(path, std::ios::binary) << "[Config]\r\nComNr=3\r\n"; }
  fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
  {
    // Privileged users write anyway; the check means nothing for them.
    std::ofstream probe(folder / "probe");
    if (probe) GTEST_SKIP() << "folder permissions are not enforced here";
  }
  EXPECT_FALSE(SaveSettings(path, Settings{}, 1));
  EXPECT_EQ(Read(path), "[Config]\r\nComNr=3\r\n");
}

TEST_F(SettingsFileTest, RandomBytesNeverCrash) {
  std::mt19937 random(20240611);
  // Bytes biased towards the characters and keys the reader reacts to.
  constexpr std::string_view kSpecial = "[]=;#\r\n\t 019-+.eE\xEF\xBB\xBF";
  const std::string kWords[] = {"Config", "Colors",      "ComNr",  "Rows",
                                "pal_3",  "WindowScale", "BinPath"};
  for (int round = 0; round < 300; ++round) {
    std::string contents = round % 3 == 0 ? "\xEF\xBB\xBF" : "";
    for (int i = static_cast<int>(random() % 600); i > 0; --i) {
      const unsigned pick = random() % 10;
      if (pick < 4)
        contents += static_cast<char>(random());
      else if (pick < 8)
        contents += kSpecial[random() % kSpecial.size()];
      else
        contents += kWords[random() % std::size(kWords)];
    }
    Settings settings;
    LoadSettings(Write(contents), settings);
    // Whatever was read is written and read back alike (colours of more
    // than six digits keep their first six).
    ASSERT_TRUE(SaveSettings(dir_ / "again.ini", settings, 1));
    Settings reread;
    LoadSettings(dir_ / "again.ini", reread);
    for (auto& colour : settings.palette) {
      while (colour > 0xFFFFFF) colour >>= 4;
    }
    EXPECT_EQ(
        std::tie(reread.ComNr, reread.BinPath, reread.Rows, reread.palette),
        std::tie(settings.ComNr, settings.BinPath, settings.Rows,
                 settings.palette))
        << round;
  }
}

}  // namespace
}  // namespace kestrix
