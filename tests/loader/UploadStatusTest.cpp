// Whole uploads against a simulated chip: the lines shown for a good upload
// and for each way the chip can fail, and what the chip got.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "loader/UploadTestRig.h"
#include "sim/SimulatedPropeller.h"

namespace kestrix {
namespace {

using Lines = std::vector<std::string>;
using Bytes = std::vector<std::uint8_t>;
using Options = sim::SimulatedPropeller::Options;
using Phase = sim::SimulatedPropeller::Phase;
using Outcome = UploadOutcome;
using test::UploadRig;

TEST(UploadStatusTest, EachFaultShowsItsLinesAndLeavesTheChipAsExpected) {
  const Lines ram = {"Start Upload", "Propeller Version = 1",
                     "Write in RAM Lenght=100", "Verify .."};
  const Lines eeprom = {"Start Upload", "Propeller Version = 1",
                        "Write in EEPROM Lenght=32768", "Verify .."};
  auto then = [](Lines head, const Lines& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
  };
  const struct {
    const char* name;
    void (*set)(Options&);
    const char* file;
    Lines lines;
    Phase chipEnds;
    Outcome outcome;
    // Clock bytes after the handshake's 258.
    int minClocks = 0;
    int maxClocks = INT_MAX;
  } cases[] = {
      {"good RAM upload", [](auto&) {}, "a.binary", then(ram, {"..OK -> RUN"}),
       Phase::kRunning, Outcome::kRunning},
      {"version 0",
       [](auto& o) { o.version = 0; },
       "a.binary",
       {"Start Upload", "Propeller Version = 0", "Code Error -> Abort"},
       Phase::kShutDown,
       Outcome::kNoChip},
      {"noise before the checksum",
       [](auto& o) { o.noiseBeforeChecksum = {0x00}; }, "a.binary",
       then(ram, {"Hardware lost", "..OK -> RUN"}), Phase::kRunning,
       Outcome::kRunning},
      {"RAM checksum error", [](auto& o) { o.checksumError = true; },
       "a.binary", then(ram, {"CheckSum Error"}), Phase::kRejected,
       Outcome::kChipError},
      // An EEPROM checksum error stops before the programming waits.
      {"EEPROM checksum error", [](auto& o) { o.checksumError = true; },
       "a.eeprom", then(eeprom, {"CheckSum Error"}), Phase::kRejected,
       Outcome::kChipError, 1, 4},
      // No checksum reply: 72 clock bytes, then the time-out.
      {"no checksum reply", [](auto& o) { o.silentAfterImage = true; },
       "a.binary", then(ram, {"Time Out", "CheckSum Error"}), Phase::kHung,
       Outcome::kChipError, 72, 72},
      {"EEPROM write error", [](auto& o) { o.eepromWriteError = true; },
       "a.eeprom", then(eeprom, {"EEPROM write Error"}), Phase::kRunning,
       Outcome::kChipError},
      {"EEPROM verify error", [](auto& o) { o.eepromVerifyError = true; },
       "a.eeprom", then(eeprom, {"EEPROM verify Error"}), Phase::kRunning,
       Outcome::kChipError},
      // Outlasts the 5 s wait but not the verify wait: two clocks for the
      // checksum, 143 unanswered during programming.
      {"slow EEPROM", [](auto& o) { o.eepromProgramMs = 6000; }, "a.eeprom",
       then(eeprom, {"Time Out", "..OK -> RUN"}), Phase::kRunning,
       Outcome::kRunning, 2 + 143},
      // An EEPROM that never confirms is not reported as good.
      {"EEPROM never done", [](auto& o) { o.eepromProgramMs = 60'000; },
       "a.eeprom",
       then(eeprom, {"Time Out", "Time Out", "EEPROM verify Error"}),
       Phase::kStatus, Outcome::kChipError, 2 + 143 + 72, 2 + 143 + 72}};
  // The shut-down command as it goes over the wire: the long 0.
  const Bytes shutdownLong = {0x92, 0x92, 0x92, 0x92, 0x92, 0x92,
                              0x92, 0x92, 0x92, 0x92, 0xF2};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Options options;
    c.set(options);
    UploadRig rig(UploadRig::Output::kWindow, false, options);
    rig.useRts = (&c - cases) % 2 != 0;
    EXPECT_EQ(rig.Upload(rig.Write(c.file, test::PatternBytes(100, 4))),
              c.outcome);
    EXPECT_EQ(rig.ScreenLines(), c.lines);
    EXPECT_EQ(rig.chip.phase(), c.chipEnds);
    // Two resets through the chosen line, and a purge at the end of a
    // finished download.
    const std::string line = rig.useRts ? "RTS" : "DTR";
    EXPECT_EQ(rig.port.lineEvents,
              (Lines{line + "+", line + "-", line + "+", line + "-"}));
    EXPECT_TRUE(rig.log.empty());
    const bool aborted = c.chipEnds == Phase::kShutDown;
    EXPECT_EQ(rig.port.purges, aborted ? 2 : 3);
    const Bytes all = rig.port.Written();
    const int clocks =
        static_cast<int>(std::count(all.begin(), all.end(), 0xF9));
    EXPECT_GE(clocks - 259, c.minClocks);
    EXPECT_LE(clocks - 259, c.maxClocks);
    // After a failed handshake the last thing sent is the shut-down long.
    EXPECT_TRUE(!aborted || (!rig.port.writes.empty() &&
                             rig.port.writes.back() == shutdownLong));
  }
}

// Pulled while the chip checks the image: no programming wait follows.
TEST(UploadStatusTest, APortThatVanishesStopsTheUploadWithOneLine) {
  UploadRig rig;
  auto advance = rig.clock.onSleep;
  rig.clock.onSleep = [&](int ms) {
    advance(ms);
    if (rig.screen.ScreenText.find("Verify ..") != std::string::npos) {
      rig.port.open = false;
    }
  };
  EXPECT_EQ(rig.Upload(rig.Write("a.eeprom", test::PatternBytes(100, 4))),
            Outcome::kPortLost);
  EXPECT_EQ(rig.ScreenLines(), (Lines{"Start Upload", "Propeller Version = 1",
                                      "Write in EEPROM Lenght=32768",
                                      "Verify ..", "Hardware lost"}));
}

}  // namespace
}  // namespace kestrix
