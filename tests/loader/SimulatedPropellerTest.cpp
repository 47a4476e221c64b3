// The simulated chip checked against literal wire bytes, so that it cannot
// share a mistake with the protocol code it is used to test.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "loader/BootProtocol.h"
#include "loader/RecordingOutput.h"
#include "support/SimulatedPropeller.h"
#include "support/SimulatedPropellerPort.h"
#include "support/VirtualClock.h"

namespace kestrix {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Phase = test::SimulatedPropeller::Phase;

// First host bits from seed 0x50: 0 1 0 1 1 1 0 0 1 1 1 1 0 1 0 1.
const Bytes kFirstHostBits = {0xFE, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFE, 0xFE,
                              0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0xFE, 0xFF};

Bytes Replies(test::SimulatedPropeller& chip) {
  Bytes out(chip.PendingReplies());
  chip.TakeReplies(out.data(), static_cast<int>(out.size()));
  return out;
}

// Brings a chip through a handshake driven by the protocol code.
void Handshake(test::SimulatedPropeller& chip) {
  test::SimulatedPropellerPort port(chip);
  test::VirtualClock clock;
  test::RecordingOutput output;
  BootProtocol protocol(port, clock, output);
  ASSERT_EQ(protocol.Handshake(), chip.options().version);
  ASSERT_EQ(chip.phase(), Phase::kCommand);
}

TEST(SimulatedPropeller, AcceptsTheKnownHostBitsAndRejectsAWrongOne) {
  test::SimulatedPropeller good;
  const Bytes noise = {0x00, 0xFE, 0xFF, 0x41};
  good.OnHostBytes(noise.data(), 4);
  EXPECT_EQ(good.phase(), Phase::kWaitCalibration)
      << "noise before calibration";
  good.OnHostBytes(Bytes{0xF9}.data(), 1);
  good.OnHostBytes(kFirstHostBits.data(), 16);
  EXPECT_EQ(good.phase(), Phase::kHostBits);
  EXPECT_EQ(good.record().hostBitsReceived, 16);

  test::SimulatedPropeller bad;
  Bytes wrong = kFirstHostBits;
  wrong[9] ^= 0x01;
  bad.OnHostBytes(Bytes{0xF9}.data(), 1);
  bad.OnHostBytes(wrong.data(), 16);
  EXPECT_EQ(bad.phase(), Phase::kRejected);
  Bytes clocks(258, 0xF9);
  bad.OnHostBytes(clocks.data(), 258);
  EXPECT_EQ(bad.PendingReplies(), 0u) << "a rejected host gets no answer";
}

TEST(SimulatedPropeller, DecodesLiteralLongs) {
  test::SimulatedPropeller chip;
  Handshake(chip);
  Bytes wire = {
      0x93, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0xF2,  // 1
      0x9B, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0xF2,  // 3
      0x92, 0x92, 0x92, 0x92, 0x9A, 0x92, 0x92, 0x92, 0x92, 0x92, 0xF2,  // 8192
      0xDB, 0xDB, 0xDB, 0xDB, 0xDB, 0xDB, 0xDB, 0xDB, 0xDB, 0xDB, 0xFB,  // ~0
      0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0xFA,  // 2^31
  };
  chip.OnHostBytes(wire.data(), static_cast<int>(wire.size()));
  EXPECT_EQ(chip.record().command, 1);
  EXPECT_EQ(chip.record().lengthLongs, 3);
  EXPECT_EQ(chip.record().longs,
            (std::vector<std::uint32_t>{8192, 0xFFFFFFFF, 0x80000000}));
  EXPECT_TRUE(chip.record().longsWellFormed);
  EXPECT_EQ(chip.phase(), Phase::kStatus);

  // One status bit per clock byte, then nothing more.
  Bytes clocks(3, 0xF9);
  chip.OnHostBytes(clocks.data(), 3);
  EXPECT_EQ(Replies(chip), (Bytes{0xFE}));
  EXPECT_EQ(chip.phase(), Phase::kRunning);

  test::SimulatedPropeller bad;
  Handshake(bad);
  Bytes badLong(11, 0x92);  // closing byte wrong
  badLong[0] = 0x93;
  bad.OnHostBytes(badLong.data(), 11);
  EXPECT_FALSE(bad.record().longsWellFormed);
}

TEST(SimulatedPropeller, EepromRepliesWaitForProgramming) {
  test::SimulatedPropeller::Options options;
  options.eepromProgramMs = 1000;
  test::SimulatedPropeller chip(options);
  Handshake(chip);
  Bytes header = {
      0x9B, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0xF2,  // 3
      0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0xF2,  // 0
  };
  chip.OnHostBytes(header.data(), static_cast<int>(header.size()));
  Bytes clock = {0xF9};
  chip.OnHostBytes(clock.data(), 1);
  EXPECT_EQ(Replies(chip), (Bytes{0xFE}));  // checksum
  chip.AdvanceMs(999);
  chip.OnHostBytes(clock.data(), 1);
  EXPECT_TRUE(Replies(chip).empty()) << "still programming";
  chip.AdvanceMs(1);
  chip.OnHostBytes(clock.data(), 1);
  chip.OnHostBytes(clock.data(), 1);
  EXPECT_EQ(Replies(chip), (Bytes{0xFE, 0xFE}));
  EXPECT_EQ(chip.phase(), Phase::kRunning);
}

}  // namespace
}  // namespace kestrix
