// The handshake against a simulated chip: the host proves itself, the chip
// echoes and tells its version, and every way that can go wrong.
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

using Lines = std::vector<std::string>;

struct Rig {
  explicit Rig(test::SimulatedPropeller::Options options = {})
      : chip(std::move(options)) {
    port.FollowClock(clock);
  }
  test::SimulatedPropeller chip;
  test::SimulatedPropellerPort port{chip};
  test::VirtualClock clock;
  test::RecordingOutput output;
  BootProtocol protocol{port, clock, output};
};

TEST(Handshake, ChipEchoFollowedByTheLiteralVersionBytesGivesVersionOne) {
  // The chip's echo, then the version bytes written out by hand.
  test::SimulatedPropeller::Options echoOnly;
  echoOnly.handshakeReplies = 250;
  test::SimulatedPropeller chip(echoOnly);
  test::FakePort port;
  port.onWrite = [&](const std::uint8_t* data, int count) {
    chip.OnHostBytes(data, count);
    std::uint8_t reply[512];
    int n = chip.TakeReplies(reply, sizeof reply);
    port.incoming.insert(port.incoming.end(), reply, reply + n);
    if (chip.phase() == test::SimulatedPropeller::Phase::kCommand) {
      port.Feed(std::vector<std::uint8_t>{0xFF, 0xFE, 0xFE, 0xFE, 0xFE, 0xFE,
                                          0xFE, 0xFE});
    }
  };
  test::VirtualClock clock;
  test::RecordingOutput output;
  BootProtocol protocol(port, clock, output);

  EXPECT_EQ(protocol.Handshake(), 1);
  EXPECT_TRUE(chip.record().hostBitsOk);
  EXPECT_EQ(output.Lines(), (Lines{"Propeller Version = 1"}));
}

TEST(Handshake, ReportsTheVersionTheChipAnswers) {
  // Version 0 too: refusing it is the caller's business.
  for (int version : {0, 1, 2, 0x5A, 255}) {
    test::SimulatedPropeller::Options options;
    options.version = version;
    Rig rig(options);
    EXPECT_EQ(rig.protocol.Handshake(), version);
    EXPECT_TRUE(rig.chip.record().hostBitsOk);
    EXPECT_EQ(rig.chip.record().handshakeRepliesSent, 258);
    EXPECT_EQ(rig.output.Lines(),
              (Lines{"Propeller Version = " + std::to_string(version)}));
  }
}

TEST(Handshake, WrongEchoBitFailsSilentlyAtOnce) {
  for (int flipped : {0, 137, 249}) {
    test::SimulatedPropeller::Options options;
    options.flipEchoBit = flipped;
    Rig rig(options);
    EXPECT_EQ(rig.protocol.Handshake(), -1) << flipped;
    EXPECT_TRUE(rig.output.calls.empty()) << flipped;
  }
}

TEST(Handshake, NoChipTimesOutOnTheFirstEchoBit) {
  test::SimulatedPropeller::Options options;
  options.silent = true;
  Rig rig(options);
  EXPECT_EQ(rig.protocol.Handshake(), -1);
  EXPECT_EQ(rig.output.Lines(), (Lines{"Time Out"}));
  EXPECT_EQ(rig.clock.TotalSleptMs(), 100);
}

TEST(Handshake, EchoThatStopsHalfwayTimesOut) {
  test::SimulatedPropeller::Options options;
  options.handshakeReplies = 100;
  Rig rig(options);
  EXPECT_EQ(rig.protocol.Handshake(), -1);
  EXPECT_EQ(rig.output.Lines(), (Lines{"Time Out"}));
}

TEST(Handshake, MissingVersionBitsMakeTheVersionNegative) {
  {
    // No version at all: eight time-outs, then the (negative) version.
    test::SimulatedPropeller::Options options;
    options.handshakeReplies = 250;
    Rig rig(options);
    int version = rig.protocol.Handshake();
    EXPECT_LT(version, 0);
    Lines expected(8, "Time Out");
    expected.push_back("Propeller Version = " + std::to_string(version));
    EXPECT_EQ(rig.output.Lines(), expected);
    EXPECT_EQ(rig.clock.TotalSleptMs(), 8 * 50 + 10);
  }
  {
    // Seven bits of version 1 arrive, the top one is missing.
    test::SimulatedPropeller::Options options;
    options.handshakeReplies = 257;
    Rig rig(options);
    EXPECT_EQ(rig.protocol.Handshake(), -127);
    EXPECT_EQ(rig.output.Lines(),
              (Lines{"Time Out", "Propeller Version = -127"}));
  }
}

TEST(Handshake, NoiseBeforeTheEchoIsSkipped) {
  test::SimulatedPropeller::Options options;
  options.noiseBeforeEcho = {0x00, 0x55};
  Rig rig(options);
  EXPECT_EQ(rig.protocol.Handshake(), 1);
  EXPECT_EQ(rig.output.Lines(),
            (Lines{"Hardware lost", "Hardware lost", "Propeller Version = 1"}));
}

TEST(Handshake, ShutDownAfterAFailedEchoReachesTheChip) {
  test::SimulatedPropeller::Options options;
  options.flipEchoBit = 3;
  Rig rig(options);
  ASSERT_EQ(rig.protocol.Handshake(), -1);
  rig.protocol.SendLong(BootProtocol::kCommandShutdown);
  rig.protocol.FlushTx();
  EXPECT_EQ(rig.chip.record().command, 0);
  EXPECT_EQ(rig.chip.phase(), test::SimulatedPropeller::Phase::kShutDown);
}

TEST(Handshake, BytesBufferedBeforeTheResetAreNotTakenForTheEcho) {
  test::SimulatedPropeller chip;
  test::FakePort port;
  test::VirtualClock clock;
  test::RecordingOutput output;
  BootProtocol protocol(port, clock, output);

  // An earlier exchange left two replies in the protocol's own buffer.
  port.Feed(std::vector<std::uint8_t>{0xFE, 0xFF, 0xFF});
  ASSERT_EQ(protocol.ReplyBit(0, 100), 0);
  ASSERT_EQ(protocol.Rx().count - protocol.Rx().position, 2);

  // Then the chip was reset and answers a new handshake.
  port.onWrite = [&](const std::uint8_t* data, int count) {
    chip.OnHostBytes(data, count);
    std::uint8_t reply[512];
    int n = chip.TakeReplies(reply, sizeof reply);
    port.incoming.insert(port.incoming.end(), reply, reply + n);
  };
  EXPECT_EQ(protocol.Handshake(), 1);
  EXPECT_EQ(output.Lines(), (Lines{"Propeller Version = 1"}));
}

}  // namespace
}  // namespace kestrix
