// The handshake against a simulated chip: the version and each way the
// chip can fail it.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "loader/BootProtocol.h"
#include "loader/RecordingOutput.h"
#include "support/FakePort.h"
#include "support/SimulatedPropeller.h"
#include "support/SimulatedPropellerPort.h"
#include "support/VirtualClock.h"

namespace kestrix {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Lines = std::vector<std::string>;
using Options = test::SimulatedPropeller::Options;

// A scripted port that passes every write to the chip and queues its replies.
void Connect(test::FakePort& port, test::SimulatedPropeller& chip) {
  port.onWrite = [&port, &chip](const std::uint8_t* data, int count) {
    chip.OnHostBytes(data, count);
    std::uint8_t reply[512];
    int n = chip.TakeReplies(reply, sizeof reply);
    port.incoming.insert(port.incoming.end(), reply, reply + n);
  };
}

TEST(Handshake, VersionAndFaultsOfTheChip) {
  const struct {
    void (*set)(Options&);
    int version;
    Lines lines;
    int sleptMs = -1;  // -1: not checked
  } cases[] = {
      // Version 0 too: refusing it is the caller's business.
      {[](auto& o) { o.version = 0; }, 0, {"Propeller Version = 0"}},
      {[](auto& o) { o.version = 0x5A; }, 90, {"Propeller Version = 90"}},
      {[](auto& o) { o.version = 255; }, 255, {"Propeller Version = 255"}},
      // A wrong echo bit fails silently at once.
      {[](auto& o) { o.flipEchoBit = 249; }, -1, {}},
      {[](auto& o) { o.silent = true; }, -1, {"Time Out"}, 100},
      // A missing version bit sets every bit from its own upwards.
      {[](auto& o) { o.handshakeReplies = 250; },
       -1,
       {"Time Out", "Time Out", "Time Out", "Time Out", "Time Out", "Time Out",
        "Time Out", "Time Out", "Propeller Version = -1"},
       8 * 50 + 10},
      {[](auto& o) { o.handshakeReplies = 257; },
       -127,
       {"Time Out", "Propeller Version = -127"}},
      {[](auto& o) {
         o.noiseBeforeEcho = {0x00, 0x55};
       },
       1,
       {"Hardware lost", "Hardware lost", "Propeller Version = 1"}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(&c - cases);
    Options options;
    c.set(options);
    test::SimulatedPropeller chip(options);
    test::SimulatedPropellerPort port(chip);
    test::VirtualClock clock;
    port.FollowClock(clock);
    test::RecordingOutput output;
    BootProtocol protocol(port, clock, output);
    EXPECT_EQ(protocol.Handshake(), c.version);
    EXPECT_TRUE(chip.record().hostBitsOk);
    EXPECT_EQ(output.Lines(), c.lines);
    EXPECT_EQ(c.sleptMs < 0 ? -1 : clock.TotalSleptMs(), c.sleptMs);
  }
}

TEST(Handshake, BytesBufferedBeforeTheResetAreNotTakenForTheEcho) {
  test::SimulatedPropeller chip;
  test::FakePort port;
  test::VirtualClock clock;
  test::RecordingOutput output;
  BootProtocol protocol(port, clock, output);
  // An earlier exchange left two replies in the protocol's own buffer.
  port.Feed(Bytes{0xFE, 0xFF, 0xFF});
  ASSERT_EQ(protocol.ReplyBit(0, 100), 0);
  Connect(port, chip);
  EXPECT_EQ(protocol.Handshake(), 1);
  EXPECT_EQ(output.Lines(), (Lines{"Propeller Version = 1"}));
}

}  // namespace
}  // namespace kestrix
