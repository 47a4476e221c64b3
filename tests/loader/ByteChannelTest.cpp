// The boot protocol's buffered channel: block writes, block reads and how
// channel failures are reported and recovered from.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "loader/BootProtocol.h"
#include "loader/PulseReset.h"
#include "loader/RecordingOutput.h"
#include "support/FakePort.h"
#include "support/SimulatedPropeller.h"
#include "support/SimulatedPropellerPort.h"
#include "support/VirtualClock.h"

namespace kestrix {
namespace {

using Lines = std::vector<std::string>;

TEST(ByteChannel, QueueWritesOnlyWhenFullOrFlushed) {
  test::FakePort port;
  test::VirtualClock clock;
  test::RecordingOutput output;
  BootProtocol protocol(port, clock, output);

  protocol.FlushTx();  // empty queue
  EXPECT_TRUE(port.writes.empty());

  for (int i = 0; i < 255; ++i)
    protocol.QueueByte(static_cast<std::uint8_t>(i));
  EXPECT_TRUE(port.writes.empty());
  protocol.QueueByte(0xAA);
  ASSERT_EQ(port.writes.size(), 1u);
  ASSERT_EQ(port.writes[0].size(), 256u);
  EXPECT_EQ(port.writes[0][0], 0);
  EXPECT_EQ(port.writes[0][254], 254);
  EXPECT_EQ(port.writes[0][255], 0xAA);

  protocol.FlushTx();  // emptied by the automatic write
  protocol.QueueByte(1);
  protocol.QueueByte(2);
  protocol.FlushTx();
  ASSERT_EQ(port.writes.size(), 2u);
  EXPECT_EQ(port.writes[1], (std::vector<std::uint8_t>{1, 2}));
  EXPECT_TRUE(output.calls.empty());
}

TEST(ByteChannel, ShortWriteIsReportedAndTheRestDropped) {
  test::SimulatedPropeller chip;
  test::SimulatedPropellerPort port(chip);
  test::VirtualClock clock;
  test::RecordingOutput output;
  BootProtocol protocol(port, clock, output);

  port.writeLimit = 200;
  for (int i = 0; i < 256; ++i) protocol.QueueByte(0x11);
  EXPECT_EQ(output.Lines(), (Lines{"Transmit stall on"}));
  EXPECT_EQ(protocol.Tx().count, 0);

  port.writeLimit = -1;
  protocol.FlushTx();  // nothing left of the stalled block
  EXPECT_EQ(port.WriteSizes(), (std::vector<int>{200}));
  protocol.QueueByte(0x22);
  protocol.FlushTx();
  EXPECT_EQ(port.WriteSizes(), (std::vector<int>{200, 1}));
  EXPECT_EQ(output.Lines(), (Lines{"Transmit stall on"}));
}

TEST(ByteChannel, FailedWriteIsReportedAndTheChannelRecovers) {
  test::FakePort port;
  test::VirtualClock clock;
  test::RecordingOutput output;
  BootProtocol protocol(port, clock, output);

  port.open = false;  // a closed port's write fails outright
  protocol.QueueByte(0x33);
  protocol.QueueByte(0x34);
  protocol.FlushTx();
  EXPECT_EQ(output.Lines(), (Lines{"Unable to write"}));
  EXPECT_EQ(protocol.Tx().count, 0);

  port.open = true;
  protocol.QueueByte(0x35);
  protocol.FlushTx();
  ASSERT_EQ(port.writes.size(), 1u);
  EXPECT_EQ(port.writes[0], (std::vector<std::uint8_t>{0x35}));
  EXPECT_EQ(output.Lines(), (Lines{"Unable to write"}));
}

TEST(ByteChannel, FailedReadIsReportedAndCountsAsNothing) {
  test::SimulatedPropeller chip;
  test::SimulatedPropellerPort port(chip);
  test::VirtualClock clock;
  test::RecordingOutput output;
  BootProtocol protocol(port, clock, output);

  port.failReads = true;
  EXPECT_EQ(protocol.FillRx(), 0);
  EXPECT_EQ(output.Lines(), (Lines{"Unable to read"}));

  // Every pass of a wait retries the read; two passes fit in 20 ms.
  output.calls.clear();
  EXPECT_EQ(protocol.ReplyBit(0, 20), -1);
  EXPECT_EQ(output.Lines(),
            (Lines{"Unable to read", "Unable to read", "Time Out"}));
}

TEST(ByteChannel, ReadsComeInBlocksOfAtMost256) {
  test::FakePort port;
  test::VirtualClock clock;
  test::RecordingOutput output;
  BootProtocol protocol(port, clock, output);

  port.Feed(std::vector<std::uint8_t>(300, 0xFE));
  EXPECT_EQ(protocol.FillRx(), 256);
  EXPECT_EQ(protocol.FillRx(), 44);
  EXPECT_EQ(protocol.FillRx(), 0);
}

TEST(ByteChannel, LeftOverRepliesAreTakenBeforeTheNextRead) {
  test::FakePort port;
  test::VirtualClock clock;
  test::RecordingOutput output;
  BootProtocol protocol(port, clock, output);

  port.Feed(std::vector<std::uint8_t>{0xFE, 0xFF});
  EXPECT_EQ(protocol.ReplyBit(0, 100), 0);
  // The reset purges the port's queue but not the protocol's own buffer.
  PulseReset(port, clock, 0);
  port.Feed(std::vector<std::uint8_t>{0xFE});
  clock.sleeps.clear();

  EXPECT_EQ(protocol.ReplyBit(0, 100), 1);  // the left-over 0xFF
  EXPECT_TRUE(clock.sleeps.empty()) << "a buffered byte needs no wait";
  EXPECT_EQ(protocol.ReplyBit(0, 100), 0);  // now from the port
  EXPECT_TRUE(output.calls.empty());
}

}  // namespace
}  // namespace kestrix
