// What an upload makes of the file it is given: which memory it goes to, how
// its bytes become longs, and the files it refuses.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "loader/UploadDriver.h"
#include "loader/UploadTestRig.h"

namespace kestrix {
namespace {

using Lines = std::vector<std::string>;
using Bytes = std::vector<std::uint8_t>;
using test::UploadRig;

TEST(UploadFileTest, TheFileNameAloneChoosesEeprom) {
  const struct {
    const char* path;
    int eeprom;
  } cases[] = {
      {"prog.eeprom", 1},
      {"/work/prog.binary", 0},
      {"/work/prog.EEPROM", 0},
      {"/work/old.eeprom/prog.binary", 0},
      {"C:\\old.eeprom\\prog.binary", 0},
      {"C:\\new\\prog.eeprom", 1},
      {"/work/prog.eeprom.bak", 1},
      {"", 0},
      {"/work/.eeprom/", 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(EepromModeFor(c.path), c.eeprom) << c.path;

  // The same choice in a whole upload.
  UploadRig rig;
  const Bytes file = test::PatternBytes(40, 5);
  rig.Upload(rig.folder.Write("build.eeprom/PROG.EEPROM", file));
  EXPECT_EQ(rig.chip.record().command, 1);
  EXPECT_EQ(rig.chip.record().ImageBytes(), file);
  EXPECT_EQ(rig.ScreenLines().at(2), "Write in RAM Lenght=40");
}

TEST(UploadFileTest, ShortFilesArePaddedToWholeLongs) {
  UploadRig rig;
  const Bytes file = test::PatternBytes(30, 7);
  rig.Upload(rig.folder.Write("short.binary", file));
  EXPECT_EQ(rig.ScreenLines().at(2), "Write in RAM Lenght=32");
  const auto& record = rig.chip.record();
  ASSERT_EQ(record.lengthLongs, 8);
  Bytes padded = file;
  padded.resize(32, 0);
  EXPECT_EQ(record.ImageBytes(), padded);
  // The last long holds bytes 28 and 29 in its low half only.
  EXPECT_EQ(record.longs[7], std::uint32_t{file[28]} | file[29] << 8);

  UploadRig empty;
  empty.Upload(empty.folder.Write("empty.binary", {}));
  EXPECT_EQ(empty.ScreenLines(),
            (Lines{"Start Upload", "Propeller Version = 1",
                   "Write in RAM Lenght=0", "Verify ..", "..OK -> RUN"}));
  EXPECT_TRUE(empty.chip.record().longs.empty());
}

TEST(UploadFileTest, EepromUploadAfterALongerOneSendsZerosPastTheFile) {
  UploadRig rig;
  Bytes full(32768, 0xA5);
  rig.Upload(rig.folder.Write("full.eeprom", full));
  ASSERT_EQ(rig.chip.record().ImageBytes(), full);

  const Bytes small = test::PatternBytes(100, 8);
  rig.Upload(rig.folder.Write("small.eeprom", small));
  Bytes expected = small;
  expected.resize(32768, 0);
  EXPECT_EQ(rig.chip.record().ImageBytes(), expected);
  EXPECT_EQ(rig.ScreenLines().back(), "..OK -> RUN");
}

TEST(UploadFileTest, FileLongerThanTheHubIsRefusedAndNothingIsSent) {
  for (int size : {32768, 32769, 32804, 40000}) {
    UploadRig rig;
    const Bytes file = test::PatternBytes(size, 10);
    rig.Upload(rig.folder.Write("big.binary", file));
    if (size == 32768) {
      EXPECT_EQ(rig.ScreenLines().at(2), "Write in RAM Lenght=32768");
      EXPECT_EQ(rig.chip.record().ImageBytes(), file);
      continue;
    }
    EXPECT_EQ(rig.ScreenLines(),
              (Lines{"Start Upload", "File too long for a Propeller 1 image"}))
        << size;
    EXPECT_TRUE(rig.port.writes.empty()) << size;
    // Reset once, as before any file is read, and the receive side purged.
    EXPECT_EQ(rig.port.lineEvents, (Lines{"DTR+", "DTR-"})) << size;
    EXPECT_EQ(rig.port.purges, 2) << size;
  }
}

TEST(UploadFileTest, MissingFileOrFolderResetsOncePurgesAndSendsNothing) {
  for (const char* name : {"absent.binary", "dir.binary"}) {
    UploadRig rig;
    std::filesystem::create_directories(rig.folder.path() / "dir.binary");
    rig.Upload((rig.folder.path() / name).string());
    EXPECT_EQ(rig.ScreenLines(), (Lines{"Start Upload", "No such file"}));
    EXPECT_EQ(rig.port.lineEvents, (Lines{"DTR+", "DTR-"}));
    EXPECT_EQ(rig.port.purges, 2);
    EXPECT_TRUE(rig.port.writes.empty());
  }
}

TEST(UploadFileTest, ClosedPortShowsOnlyTheBoxAndLeavesTheScreen) {
  UploadRig rig;
  rig.decoder.PrintLine("device text");
  const Raster before = rig.screen.image;
  const std::string textBefore = rig.screen.ScreenText;
  rig.port.open = false;

  rig.Upload(rig.folder.Write("prog.eeprom", test::PatternBytes(8, 11)));

  EXPECT_EQ(rig.host.boxes, (std::vector<std::pair<std::string, std::string>>{
                                {"No COM", "wrong number or not activated"}}));
  EXPECT_EQ(rig.screen.image, before);
  EXPECT_EQ(rig.screen.ScreenText, textBefore);
  EXPECT_TRUE(rig.port.lineEvents.empty());
  EXPECT_EQ(rig.port.purges, 0);
  EXPECT_TRUE(rig.clock.sleeps.empty());  // not even the banner pause
}

}  // namespace
}  // namespace kestrix
