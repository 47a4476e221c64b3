// Whole uploads against a simulated chip: the lines shown on the screen for a
// good upload and for each way the chip can fail, and what the chip got.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "loader/UploadTestRig.h"
#include "support/SimulatedPropeller.h"

namespace kestrix {
namespace {

using Lines = std::vector<std::string>;
using Bytes = std::vector<std::uint8_t>;
using Options = test::SimulatedPropeller::Options;
using Phase = test::SimulatedPropeller::Phase;
using test::UploadRig;

// The shut-down command as it goes over the wire: the long 0.
const Bytes kShutdownLong = {0x92, 0x92, 0x92, 0x92, 0x92, 0x92,
                             0x92, 0x92, 0x92, 0x92, 0xF2};

TEST(UploadStatusTest, GoodRamUploadBootsTheFileAndReportsEachStep) {
  UploadRig rig;
  const Bytes file = test::PatternBytes(100, 1);
  rig.Upload(rig.folder.Write("prog.binary", file));

  EXPECT_EQ(rig.ScreenLines(),
            (Lines{"Start Upload", "Propeller Version = 1",
                   "Write in RAM Lenght=100", "Verify ..", "..OK -> RUN"}));
  const auto& record = rig.chip.record();
  EXPECT_EQ(record.command, 1);
  EXPECT_EQ(record.lengthLongs, 25);
  EXPECT_EQ(record.ImageBytes(), file);
  EXPECT_TRUE(record.longsWellFormed);
  EXPECT_EQ(rig.chip.phase(), Phase::kRunning);
  // Reset twice through DTR, purged by each reset and once at the end.
  EXPECT_EQ(rig.port.lineEvents, (Lines{"DTR+", "DTR-", "DTR+", "DTR-"}));
  EXPECT_EQ(rig.port.purges, 3);
  EXPECT_TRUE(rig.host.boxes.empty());
}

TEST(UploadStatusTest, GoodEepromUploadProgramsAllOfTheHubImage) {
  UploadRig rig;
  const Bytes file = test::PatternBytes(100, 2);
  rig.Upload(rig.folder.Write("prog.eeprom", file));

  EXPECT_EQ(rig.ScreenLines(), (Lines{"Start Upload", "Propeller Version = 1",
                                      "Write in EEPROM Lenght=32768",
                                      "Verify ..", "..OK -> RUN"}));
  const auto& record = rig.chip.record();
  EXPECT_EQ(record.command, 3);
  EXPECT_EQ(record.lengthLongs, 8192);
  Bytes expected = file;
  expected.resize(32768, 0);
  EXPECT_EQ(record.ImageBytes(), expected);
  EXPECT_EQ(record.statusBitsSent, (std::vector<int>{0, 0, 0}));
  EXPECT_EQ(rig.chip.phase(), Phase::kRunning);
}

TEST(UploadStatusTest, UseRtsPulsesOnlyRts) {
  UploadRig rig;
  rig.settings.UseRTS = 1;
  rig.Upload(rig.folder.Write("prog.binary", test::PatternBytes(8, 3)));
  EXPECT_EQ(rig.port.lineEvents, (Lines{"RTS+", "RTS-", "RTS+", "RTS-"}));
  EXPECT_EQ(rig.ScreenLines().back(), "..OK -> RUN");
}

struct FaultCase {
  const char* name;
  Options options;
  const char* file;
  Lines lines;
  Phase chipEnds;
  int purges;  // two resets, plus one at the end of a finished download
};

Options With(void (*set)(Options&)) {
  Options o;
  set(o);
  return o;
}

class UploadFaultTest : public ::testing::TestWithParam<FaultCase> {};

TEST_P(UploadFaultTest, ShowsTheLinesOfTheFaultAndLeavesTheChipAsExpected) {
  const FaultCase& c = GetParam();
  UploadRig rig(UploadRig::Output::kWindow, false, c.options);
  rig.Upload(rig.folder.Write(c.file, test::PatternBytes(100, 4)));

  EXPECT_EQ(rig.ScreenLines(), c.lines);
  EXPECT_EQ(rig.chip.phase(), c.chipEnds);
  EXPECT_EQ(rig.port.purges, c.purges);
  if (c.chipEnds == Phase::kShutDown) {
    // After a failed handshake the last thing sent is the shut-down long.
    ASSERT_FALSE(rig.port.writes.empty());
    EXPECT_EQ(rig.port.writes.back(), kShutdownLong);
    EXPECT_EQ(rig.chip.record().command, 0);
  }
}

const Lines kAbortAfterStart = {"Start Upload", "Code Error -> Abort"};

INSTANTIATE_TEST_SUITE_P(
    Faults, UploadFaultTest,
    ::testing::Values(
        FaultCase{"NoAnswer",
                  With([](Options& o) { o.silent = true; }),
                  "a.binary",
                  {"Start Upload", "Time Out", "Code Error -> Abort"},
                  Phase::kShutDown,
                  2},
        FaultCase{"WrongEcho", With([](Options& o) { o.flipEchoBit = 7; }),
                  "a.binary", kAbortAfterStart, Phase::kShutDown, 2},
        // Version bits 0 and 1 arrive (1, 0), six time out.
        FaultCase{"VersionCutOff",
                  With([](Options& o) { o.handshakeReplies = 252; }),
                  "a.binary",
                  {"Start Upload", "Time Out", "Time Out", "Time Out",
                   "Time Out", "Time Out", "Time Out", "Propeller Version = -3",
                   "Code Error -> Abort"},
                  Phase::kShutDown,
                  2},
        FaultCase{
            "VersionZero",
            With([](Options& o) { o.version = 0; }),
            "a.binary",
            {"Start Upload", "Propeller Version = 0", "Code Error -> Abort"},
            Phase::kShutDown,
            2},
        FaultCase{"NoiseBeforeEcho",
                  With([](Options& o) {
                    o.noiseBeforeEcho = {0x00, 0x55};
                  }),
                  "a.binary",
                  {"Start Upload", "Hardware lost", "Hardware lost",
                   "Propeller Version = 1", "Write in RAM Lenght=100",
                   "Verify ..", "..OK -> RUN"},
                  Phase::kRunning,
                  3},
        FaultCase{
            "NoiseBeforeChecksum",
            With([](Options& o) { o.noiseBeforeChecksum = {0x00}; }),
            "a.binary",
            {"Start Upload", "Propeller Version = 1", "Write in RAM Lenght=100",
             "Verify ..", "Hardware lost", "..OK -> RUN"},
            Phase::kRunning,
            3},
        FaultCase{"ChecksumError",
                  With([](Options& o) { o.checksumError = true; }),
                  "a.binary",
                  {"Start Upload", "Propeller Version = 1",
                   "Write in RAM Lenght=100", "Verify ..", "CheckSum Error"},
                  Phase::kRejected,
                  3},
        FaultCase{
            "SilentAfterImage",
            With([](Options& o) { o.silentAfterImage = true; }),
            "a.binary",
            {"Start Upload", "Propeller Version = 1", "Write in RAM Lenght=100",
             "Verify ..", "Time Out", "CheckSum Error"},
            Phase::kHung,
            3},
        FaultCase{
            "EepromWriteError",
            With([](Options& o) { o.eepromWriteError = true; }),
            "a.eeprom",
            {"Start Upload", "Propeller Version = 1",
             "Write in EEPROM Lenght=32768", "Verify ..", "EEPROM write Error"},
            Phase::kRunning,
            3},
        FaultCase{"EepromVerifyError",
                  With([](Options& o) { o.eepromVerifyError = true; }),
                  "a.eeprom",
                  {"Start Upload", "Propeller Version = 1",
                   "Write in EEPROM Lenght=32768", "Verify ..",
                   "EEPROM verify Error"},
                  Phase::kRunning,
                  3},
        // Programming takes 3 s; the chip answers within the 5 s allowed.
        FaultCase{"SlowEepromStillSucceeds",
                  With([](Options& o) { o.eepromProgramMs = 3000; }),
                  "a.eeprom",
                  {"Start Upload", "Propeller Version = 1",
                   "Write in EEPROM Lenght=32768", "Verify ..", "..OK -> RUN"},
                  Phase::kRunning,
                  3}),
    [](const ::testing::TestParamInfo<FaultCase>& param) {
      return std::string(param.param.name);
    });

}  // namespace
}  // namespace kestrix
