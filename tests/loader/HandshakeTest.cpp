// The handshake against a simulated chip: the version and each way the
// chip can fail it.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "loader/BootProtocol.h"
#include "loader/RecordingOutput.h"
#include "sim/SimulatedPropeller.h"
#include "support/SimulatedPropellerPort.h"
#include "support/VirtualClock.h"

namespace kestrix {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Lines = std::vector<std::string>;
using Options = sim::SimulatedPropeller::Options;

TEST(Handshake, VersionAndFaultsOfTheChip) {
  const struct {
    const char* name;
    void (*set)(Options&);
    int version;
    Lines lines;
    int sleptMs = -1;  // -1: not checked
  } cases[] = {
      // Version 0 too: refusing it is the caller's business.
      {"version 0",
       [](auto& o) { o.version = 0; },
       0,
       {"Propeller Version = 0"}},
      {"version 255",
       [](auto& o) { o.version = 255; },
       255,
       {"Propeller Version = 255"}},
      // A wrong echo bit fails silently at once.
      {"wrong echo bit", [](auto& o) { o.flipEchoBit = 249; }, -1, {}},
      {"silent", [](auto& o) { o.silent = true; }, -1, {"Time Out"}, 100},
      // A missing version bit sets every bit from its own upwards.
      {"no version bits",
       [](auto& o) { o.handshakeReplies = 250; },
       -1,
       {"Time Out", "Time Out", "Time Out", "Time Out", "Time Out", "Time Out",
        "Time Out", "Time Out", "Propeller Version = -1"},
       8 * 50 + 10},
      {"last version bit missing",
       [](auto& o) { o.handshakeReplies = 257; },
       -127,
       {"Time Out", "Propeller Version = -127"}},
      {"noise before the echo",
       [](auto& o) {
         o.noiseBeforeEcho = {0x00, 0x55};
       },
       1,
       {"Hardware lost", "Hardware lost", "Propeller Version = 1"}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Options options;
    c.set(options);
    sim::SimulatedPropeller chip(options);
    test::SimulatedPropellerPort port(chip);
    test::VirtualClock clock;
    port.FollowClock(clock);
    test::RecordingOutput output;
    BootProtocol protocol(port, clock, output);
    EXPECT_EQ(protocol.Handshake(), c.version);
    EXPECT_TRUE(chip.record().hostBitsOk);
    EXPECT_EQ(output.lines, c.lines);
    EXPECT_EQ(c.sleptMs < 0 ? -1 : clock.TotalSleptMs(), c.sleptMs);
  }
}

TEST(Handshake, BytesBufferedBeforeTheResetAreNotTakenForTheEcho) {
  sim::SimulatedPropeller chip;
  test::SimulatedPropellerPort port(chip);
  test::VirtualClock clock;
  test::RecordingOutput output;
  BootProtocol protocol(port, clock, output);
  // An earlier exchange left two replies in the protocol's own buffer.
  port.Feed(Bytes{0xFE, 0xFF, 0xFF});
  EXPECT_EQ(protocol.ReplyBit(0, 100), 0);
  EXPECT_EQ(protocol.Handshake(), 1);
  EXPECT_EQ(output.lines, (Lines{"Propeller Version = 1"}));
}

}  // namespace
}  // namespace kestrix
