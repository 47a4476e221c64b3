// What an upload makes of its file: which memory, how the bytes become
// longs, and the files it refuses.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "loader/FileNames.h"
#include "loader/UploadDriver.h"
#include "loader/UploadTestRig.h"

namespace kestrix {
namespace {

using Lines = std::vector<std::string>;
using Bytes = std::vector<std::uint8_t>;
using test::UploadRig;

TEST(UploadFileTest, TheFileNameAloneChoosesEepromAndFolder) {
  const struct {
    const char* name;
    std::string path;
    int eeprom;
    std::string folder;
  } cases[] = {{"bare eeprom", "prog.eeprom", 1, ""},
               {"capitals", "/work/prog.EEPROM", 0, "/work/"},
               {"folder named .eeprom", "/work/x.eeprom/prog.binary", 0,
                "/work/x.eeprom/"},
               {"marker inside the name", "/work/prog.eeprom.bak", 1, "/work/"},
               {"empty", "", 0, ""},
#ifdef _WIN32
               {"backslash separates", "a.eeprom\\b.binary", 0, "a.eeprom\\"},
               {"drive and backslashes", "C:\\w\\p.eeprom", 1, "C:\\w\\"},
               {"drive letter alone", "C:p.eeprom", 1, "C:"},
               {"mixed separators", "C:\\x.eeprom/p.binary", 0, "C:\\x.eeprom/"}
#else
               {"backslash is part of a name", "a.eeprom\\b.binary", 1, ""}
#endif
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EepromModeFor(c.path), c.eeprom) << c.name;
    EXPECT_EQ(FolderPart(c.path), c.folder) << c.name;
  }
}

TEST(UploadFileTest, ShortFilesArePaddedToWholeLongs) {
  // The folder's name has no say, nor does the name in capitals.
  UploadRig rig;
  const Bytes file = test::PatternBytes(30, 7);
  rig.Upload(rig.Write("build.eeprom/PROG.EEPROM", file));
  EXPECT_EQ(rig.ScreenLines().at(2), "Write in RAM Lenght=32");
  const auto& record = rig.chip.record();
  EXPECT_EQ(record.command, 1);
  Bytes padded = file;
  padded.resize(32, 0);
  EXPECT_EQ(record.ImageBytes(), padded);

  // An empty file still runs the handshake and announces a length of 0.
  UploadRig empty;
  empty.Upload(empty.Write("empty.binary", {}));
  EXPECT_EQ(empty.ScreenLines(),
            Lines({"Start Upload", "Propeller Version = 1",
                   "Write in RAM Lenght=0", "Verify ..", "..OK -> RUN"}));
  EXPECT_EQ(empty.chip.record().command, 1);
  EXPECT_TRUE(empty.chip.record().ImageBytes().empty());
}

TEST(UploadFileTest, EepromUploadAfterALongerOneSendsZerosPastTheFile) {
  UploadRig rig;
  Bytes full(32768, 0xA5);
  rig.Upload(rig.Write("full.eeprom", full));
  EXPECT_EQ(rig.chip.record().ImageBytes(), full);
  const Bytes small = test::PatternBytes(100, 8);
  rig.Upload(rig.Write("small.eeprom", small));
  Bytes expected = small;
  expected.resize(32768, 0);
  EXPECT_EQ(rig.chip.record().ImageBytes(), expected);
}

TEST(UploadFileTest, RefusedFilesResetOncePurgeAndSendNothing) {
  const std::pair<const char*, const char*> cases[] = {
      {"absent.binary", "No such file"},
      {"dir.binary", "No such file"},
      {"fifo.binary", "No such file"},  // would block the open for ever
      {"big.binary", "File too long for a Propeller 1 image"}};
  for (const auto& [name, line] : cases) {
    UploadRig rig;
    std::filesystem::create_directories(rig.folder / "dir.binary");
    test::MakeFifo(rig.folder / "fifo.binary");
    rig.Write("big.binary", test::PatternBytes(32769, 10));
    EXPECT_EQ(rig.Upload((rig.folder / name).string()),
              UploadOutcome::kFileRefused)
        << name;
    EXPECT_EQ(rig.ScreenLines(), (Lines{"Start Upload", line})) << name;
    // Reset once, as before any file is read, and the receive side purged.
    EXPECT_EQ(rig.port.lineEvents, (Lines{"DTR+", "DTR-"})) << name;
    EXPECT_EQ(rig.port.purges, 2) << name;
    EXPECT_TRUE(rig.port.writes.empty()) << name;
  }
  // A file of exactly the hub's size goes through.
  UploadRig fits;
  const Bytes file = test::PatternBytes(32768, 10);
  fits.Upload(fits.Write("big.binary", file));
  EXPECT_EQ(fits.chip.record().ImageBytes(), file);
}

TEST(UploadFileTest, ClosedPortShowsOnlyTheBoxAndLeavesTheScreen) {
  UploadRig rig;
  rig.engine.PrintLine("device text");
  const Raster before = rig.screen.image;
  const std::string textBefore = rig.screen.ScreenText;
  rig.port.open = false;
  EXPECT_EQ(rig.Upload(rig.Write("prog.eeprom", test::PatternBytes(8, 11))),
            UploadOutcome::kNoPort);
  EXPECT_EQ(rig.log, Lines{"host box No COM / wrong number or not activated"
                           "\n\nThe port is not open: choose a port with "
                           "Options > Com-Port (or the number after -L)."});
  EXPECT_EQ(rig.screen.image, before);
  EXPECT_EQ(rig.screen.ScreenText, textBefore);
  EXPECT_TRUE(rig.port.lineEvents.empty());
  EXPECT_TRUE(rig.clock.sleeps.empty());  // not even the banner pause
}

}  // namespace
}  // namespace kestrix
