// What an upload makes of the file it is given: which memory it goes to, how
// its bytes become longs, and the files it refuses.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "loader/UploadDriver.h"
#include "loader/UploadTestRig.h"
#include "support/SimulatedPropeller.h"

namespace kestrix {
namespace {

using Lines = std::vector<std::string>;
using Bytes = std::vector<std::uint8_t>;
using Phase = test::SimulatedPropeller::Phase;
using test::UploadRig;

TEST(UploadFileTest, TheFileNameAloneChoosesEeprom) {
  struct Case {
    const char* path;
    int eeprom;
  };
  const Case cases[] = {
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
  for (const Case& c : cases) {
    EXPECT_EQ(EepromModeFor(c.path), c.eeprom) << c.path;
  }
}

TEST(UploadFileTest, BinaryInAFolderNamedLikeAnEepromGoesToRam) {
  UploadRig rig;
  const Bytes file = test::PatternBytes(40, 5);
  rig.Upload(rig.folder.Write("build.eeprom/prog.binary", file));
  EXPECT_EQ(rig.chip.record().command, 1);
  EXPECT_EQ(rig.chip.record().ImageBytes(), file);
  EXPECT_EQ(rig.ScreenLines().at(2), "Write in RAM Lenght=40");
}

TEST(UploadFileTest, CapitalisedEepromExtensionGoesToRam) {
  UploadRig rig;
  rig.Upload(rig.folder.Write("PROG.EEPROM", test::PatternBytes(16, 6)));
  EXPECT_EQ(rig.chip.record().command, 1);
  EXPECT_EQ(rig.chip.record().lengthLongs, 4);
}

TEST(UploadFileTest, ThirtyByteFileIsPaddedToEightLongs) {
  UploadRig rig;
  const Bytes file = test::PatternBytes(30, 7);
  rig.Upload(rig.folder.Write("short.binary", file));

  EXPECT_EQ(rig.ScreenLines().at(2), "Write in RAM Lenght=32");
  const auto& record = rig.chip.record();
  ASSERT_EQ(record.lengthLongs, 8);
  Bytes padded = file;
  padded.push_back(0);
  padded.push_back(0);
  EXPECT_EQ(record.ImageBytes(), padded);
  // The last long holds bytes 28 and 29 in its low half only.
  EXPECT_EQ(record.longs[7], std::uint32_t{file[28]} | file[29] << 8);
}

TEST(UploadFileTest, EmptyFileRunsTheHandshakeAndSendsNoLongs) {
  UploadRig rig;
  rig.Upload(rig.folder.Write("empty.binary", {}));
  EXPECT_EQ(rig.ScreenLines(),
            (Lines{"Start Upload", "Propeller Version = 1",
                   "Write in RAM Lenght=0", "Verify ..", "..OK -> RUN"}));
  EXPECT_EQ(rig.chip.record().lengthLongs, 0);
  EXPECT_TRUE(rig.chip.record().longs.empty());
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

TEST(UploadFileTest, FullSizeImageIsAccepted) {
  UploadRig rig;
  const Bytes file = test::PatternBytes(32768, 9);
  rig.Upload(rig.folder.Write("full.binary", file));
  EXPECT_EQ(rig.ScreenLines().at(2), "Write in RAM Lenght=32768");
  EXPECT_EQ(rig.chip.record().ImageBytes(), file);
}

TEST(UploadFileTest, FileLongerThanTheHubIsRefusedAndNothingIsSent) {
  for (int size : {32769, 32804, 40000}) {
    UploadRig rig;
    rig.Upload(rig.folder.Write("big.binary", test::PatternBytes(size, 10)));
    EXPECT_EQ(rig.ScreenLines(),
              (Lines{"Start Upload", "File too long for a Propeller 1 image"}))
        << size;
    EXPECT_TRUE(rig.port.writes.empty()) << size;
    // Reset once, as before any file is read, and the receive side purged.
    EXPECT_EQ(rig.chip.resets(), 1) << size;
    EXPECT_EQ(rig.port.purges, 2) << size;
  }
}

TEST(UploadFileTest, MissingFileResetsOncePurgesAndSendsNothing) {
  UploadRig rig;
  rig.Upload((rig.folder.path() / "absent.binary").string());
  EXPECT_EQ(rig.ScreenLines(), (Lines{"Start Upload", "No such file"}));
  EXPECT_EQ(rig.port.lineEvents, (Lines{"DTR+", "DTR-"}));
  EXPECT_EQ(rig.port.purges, 2);
  EXPECT_TRUE(rig.port.writes.empty());
}

TEST(UploadFileTest, FolderInsteadOfAFileCountsAsNoSuchFile) {
  UploadRig rig;
  std::filesystem::create_directories(rig.folder.path() / "dir.binary");
  rig.Upload((rig.folder.path() / "dir.binary").string());
  EXPECT_EQ(rig.ScreenLines(), (Lines{"Start Upload", "No such file"}));
  EXPECT_TRUE(rig.port.writes.empty());
}

TEST(UploadFileTest, ClosedPortShowsOnlyTheBoxAndLeavesTheScreen) {
  UploadRig rig;
  rig.decoder.PrintLine("device text");
  const Raster before = rig.screen.image;
  const std::string textBefore = rig.screen.ScreenText;
  rig.port.open = false;

  rig.Upload(rig.folder.Write("prog.eeprom", test::PatternBytes(8, 11)));

  ASSERT_EQ(rig.host.boxes.size(), 1u);
  EXPECT_EQ(rig.host.boxes[0].first, "No COM");
  EXPECT_EQ(rig.host.boxes[0].second, "wrong number or not activated");
  EXPECT_EQ(rig.screen.image, before);
  EXPECT_EQ(rig.screen.ScreenText, textBefore);
  EXPECT_TRUE(rig.port.lineEvents.empty());
  EXPECT_EQ(rig.port.purges, 0);
  EXPECT_TRUE(rig.clock.sleeps.empty());  // not even the banner pause
}

}  // namespace
}  // namespace kestrix
