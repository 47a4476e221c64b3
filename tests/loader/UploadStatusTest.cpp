// Whole uploads against a simulated chip: the lines shown on the screen for a
// good upload and for each way the chip can fail, and what the chip got.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
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

TEST(UploadStatusTest, GoodRamUploadBootsTheFileThroughTheChosenLine) {
  for (int useRts : {0, 1}) {
    UploadRig rig;
    rig.settings.UseRTS = useRts;
    const Bytes file = test::PatternBytes(100, 1);
    rig.Upload(rig.folder.Write("prog.binary", file));

    EXPECT_EQ(rig.ScreenLines(),
              (Lines{"Start Upload", "Propeller Version = 1",
                     "Write in RAM Lenght=100", "Verify ..", "..OK -> RUN"}));
    EXPECT_EQ(rig.chip.record().ImageBytes(), file);
    EXPECT_EQ(rig.chip.phase(), Phase::kRunning);
    // Reset twice, purged by each reset and once at the end.
    const std::string line = useRts ? "RTS" : "DTR";
    EXPECT_EQ(rig.port.lineEvents,
              (Lines{line + "+", line + "-", line + "+", line + "-"}));
    EXPECT_EQ(rig.port.purges, 3);
    EXPECT_TRUE(rig.host.boxes.empty());
  }
}

TEST(UploadStatusTest, EachFaultShowsItsLinesAndLeavesTheChipAsExpected) {
  const Lines ram = {"Start Upload", "Propeller Version = 1",
                     "Write in RAM Lenght=100", "Verify .."};
  const Lines eeprom = {"Start Upload", "Propeller Version = 1",
                        "Write in EEPROM Lenght=32768", "Verify .."};
  auto Then = [](Lines head, const Lines& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
  };
  const struct {
    const char* name;
    void (*set)(Options&);
    const char* file;
    Lines lines;
    Phase chipEnds;
    int purges;  // two resets, plus one at the end of a finished download
    // Clock bytes after the handshake's 258.
    int minClocks = 0;
    int maxClocks = INT_MAX;
  } cases[] = {
      {"no answer",
       [](Options& o) { o.silent = true; },
       "a.binary",
       {"Start Upload", "Time Out", "Code Error -> Abort"},
       Phase::kShutDown,
       2},
      {"wrong echo",
       [](Options& o) { o.flipEchoBit = 7; },
       "a.binary",
       {"Start Upload", "Code Error -> Abort"},
       Phase::kShutDown,
       2},
      // Version bits 0 and 1 arrive (1, 0), six time out.
      {"version cut off",
       [](Options& o) { o.handshakeReplies = 252; },
       "a.binary",
       {"Start Upload", "Time Out", "Time Out", "Time Out", "Time Out",
        "Time Out", "Time Out", "Propeller Version = -3",
        "Code Error -> Abort"},
       Phase::kShutDown,
       2},
      {"version zero",
       [](Options& o) { o.version = 0; },
       "a.binary",
       {"Start Upload", "Propeller Version = 0", "Code Error -> Abort"},
       Phase::kShutDown,
       2},
      {"noise before echo",
       [](Options& o) {
         o.noiseBeforeEcho = {0x00, 0x55};
       },
       "a.binary",
       {"Start Upload", "Hardware lost", "Hardware lost",
        "Propeller Version = 1", "Write in RAM Lenght=100", "Verify ..",
        "..OK -> RUN"},
       Phase::kRunning,
       3},
      {"noise before checksum",
       [](Options& o) { o.noiseBeforeChecksum = {0x00}; }, "a.binary",
       Then(ram, {"Hardware lost", "..OK -> RUN"}), Phase::kRunning, 3},
      {"checksum error", [](Options& o) { o.checksumError = true; }, "a.binary",
       Then(ram, {"CheckSum Error"}), Phase::kRejected, 3},
      // An EEPROM checksum error stops before the programming waits.
      {"eeprom checksum error", [](Options& o) { o.checksumError = true; },
       "a.eeprom", Then(eeprom, {"CheckSum Error"}), Phase::kRejected, 3, 1, 4},
      // No checksum reply: 72 clock bytes, then the time-out.
      {"silent after image", [](Options& o) { o.silentAfterImage = true; },
       "a.binary", Then(ram, {"Time Out", "CheckSum Error"}), Phase::kHung, 3,
       72, 72},
      {"eeprom write error", [](Options& o) { o.eepromWriteError = true; },
       "a.eeprom", Then(eeprom, {"EEPROM write Error"}), Phase::kRunning, 3},
      {"eeprom verify error", [](Options& o) { o.eepromVerifyError = true; },
       "a.eeprom", Then(eeprom, {"EEPROM verify Error"}), Phase::kRunning, 3},
      // Both reported as failed: the write error is the one shown.
      {"both eeprom errors",
       [](Options& o) { o.eepromWriteError = o.eepromVerifyError = true; },
       "a.eeprom", Then(eeprom, {"EEPROM write Error"}), Phase::kRunning, 3},
      // Programming takes 3 s; the chip answers within the 5 s allowed.
      {"slow eeprom", [](Options& o) { o.eepromProgramMs = 3000; }, "a.eeprom",
       Then(eeprom, {"..OK -> RUN"}), Phase::kRunning, 3},
      // Programming outlasts the 5 s wait but ends within the verify wait:
      // two clocks for the checksum, 143 unanswered during programming.
      {"slower eeprom", [](Options& o) { o.eepromProgramMs = 6000; },
       "a.eeprom", Then(eeprom, {"Time Out", "..OK -> RUN"}), Phase::kRunning,
       3, 2 + 143},
      // An EEPROM that never confirms is not reported as good.
      {"eeprom never confirms", [](Options& o) { o.eepromProgramMs = 60'000; },
       "a.eeprom",
       Then(eeprom, {"Time Out", "Time Out", "EEPROM verify Error"}),
       Phase::kStatus, 3, 2 + 143 + 72, 2 + 143 + 72},
  };
  // The shut-down command as it goes over the wire: the long 0.
  const Bytes shutdownLong = {0x92, 0x92, 0x92, 0x92, 0x92, 0x92,
                              0x92, 0x92, 0x92, 0x92, 0xF2};
  for (const auto& c : cases) {
    Options options;
    c.set(options);
    UploadRig rig(UploadRig::Output::kWindow, false, options);
    rig.Upload(rig.folder.Write(c.file, test::PatternBytes(100, 4)));

    EXPECT_EQ(rig.ScreenLines(), c.lines) << c.name;
    EXPECT_EQ(rig.chip.phase(), c.chipEnds) << c.name;
    EXPECT_EQ(rig.port.purges, c.purges) << c.name;
    const Bytes all = rig.port.Written();
    const int clocks =
        static_cast<int>(std::count(all.begin(), all.end(), 0xF9));
    EXPECT_GE(clocks - 259, c.minClocks) << c.name;
    EXPECT_LE(clocks - 259, c.maxClocks) << c.name;
    if (c.chipEnds == Phase::kShutDown) {
      // After a failed handshake the last thing sent is the shut-down long.
      ASSERT_FALSE(rig.port.writes.empty()) << c.name;
      EXPECT_EQ(rig.port.writes.back(), shutdownLong) << c.name;
      EXPECT_EQ(rig.chip.record().command, 0) << c.name;
    }
  }
}

}  // namespace
}  // namespace kestrix
