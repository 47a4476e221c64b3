// The boot protocol on a scripted port: the bytes it puts on the wire, how
// long it waits for a reply bit, and how channel failures are reported.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
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

using Bytes = std::vector<std::uint8_t>;
using Lines = std::vector<std::string>;

struct Wire {
  test::FakePort port;
  test::VirtualClock clock;
  test::RecordingOutput output;
  BootProtocol protocol{port, clock, output};
};

// For channel faults the scripted port does not play.
struct ChipWire {
  test::SimulatedPropeller chip;
  test::SimulatedPropellerPort port{chip};
  test::VirtualClock clock;
  test::RecordingOutput output;
  BootProtocol protocol{port, clock, output};
};

TEST(WireEncoding, LongsTravelAsElevenBytesOfThreeBits) {
  // Changes against the long 0 (ten 0x92 and a closing 0xF2). Bit 2 sits in
  // bit 6 of the first byte, bit 30 in bit 0 of the closing one.
  const struct {
    std::uint32_t value;
    std::vector<std::pair<int, std::uint8_t>> changes;
  } cases[] = {
      {0, {}},
      {1, {{0, 0x93}}},
      {3, {{0, 0x9B}}},
      {8192, {{4, 0x9A}}},
      {0x80000000, {{10, 0xFA}}},
      {0x40000004, {{0, 0xD2}, {10, 0xF3}}},
      {0xFFFFFFFF,
       {{0, 0xDB},
        {1, 0xDB},
        {2, 0xDB},
        {3, 0xDB},
        {4, 0xDB},
        {5, 0xDB},
        {6, 0xDB},
        {7, 0xDB},
        {8, 0xDB},
        {9, 0xDB},
        {10, 0xFB}}},
  };
  for (const auto& c : cases) {
    Bytes expected(11, 0x92);
    expected[10] = 0xF2;
    for (auto [at, byte] : c.changes) expected[at] = byte;
    Wire w;
    w.protocol.SendLong(c.value);
    EXPECT_TRUE(w.port.writes.empty()) << "SendLong must not flush";
    w.protocol.FlushTx();
    EXPECT_EQ(w.port.Written(), expected) << c.value;
  }
}

TEST(WireEncoding, HandshakeBurstIsReseededAndSentInTwoWrites) {
  Wire w;
  std::vector<int> bits;
  for (int i = 0; i < 258; ++i) bits.push_back(w.protocol.LfsrNext());
  EXPECT_EQ(std::vector<int>(bits.begin(), bits.begin() + 16),
            (std::vector<int>{0, 1, 0, 1, 1, 1, 0, 0, 1, 1, 1, 1, 0, 1, 0, 1}));
  // Bits 251 to 258, counted from 1: the start of the chip's echo.
  EXPECT_EQ(std::vector<int>(bits.begin() + 250, bits.end()),
            (std::vector<int>{0, 1, 0, 0, 0, 0, 1, 0}));

  // Nobody answers: the first echo bit times out and nothing else is shown.
  EXPECT_EQ(w.protocol.Handshake(), -1);
  EXPECT_EQ(w.output.Lines(), (Lines{"Time Out"}));
  ASSERT_EQ(w.port.writes.size(), 2u);
  EXPECT_EQ(w.port.writes[0].size(), 256u);
  EXPECT_EQ(w.port.writes[1].size(), 253u);
  const Bytes first = w.port.Written();
  EXPECT_EQ(first[0], 0xF9);
  EXPECT_EQ(Bytes(first.begin() + 1, first.begin() + 9),
            (Bytes{0xFE, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFE, 0xFE}));
  EXPECT_EQ(Bytes(first.begin() + 251, first.end()), Bytes(258, 0xF9));
  w.port.writes.clear();
  w.protocol.Handshake();
  EXPECT_EQ(w.port.Written(), first);
}

TEST(ReplyBit, BudgetBuysTenMsPassesOrOneClockBytePerPass) {
  const struct {
    int clock;
    int budget;
    int clocks;  // clock bytes, each its own write
    int sleeps;
    int sleptMs;
  } cases[] = {
      {0, 100, 0, 10, 100}, {0, 50, 0, 5, 50},        {0, 15, 0, 2, 20},
      {0, 10, 0, 1, 10},    {1, 2500, 72, 144, 2520}, {1, 5000, 143, 286, 5005},
      {1, 35, 1, 2, 35},    {1, 36, 2, 4, 70},        {1, 0, 0, 0, 0},
      {1, -5, 0, 0, 0},
  };
  for (const auto& c : cases) {
    Wire w;
    EXPECT_EQ(w.protocol.ReplyBit(c.clock, c.budget), -1) << c.budget;
    EXPECT_EQ(w.port.writes, std::vector<Bytes>(c.clocks, Bytes{0xF9}))
        << c.budget;
    EXPECT_EQ(static_cast<int>(w.clock.sleeps.size()), c.sleeps) << c.budget;
    EXPECT_EQ(w.clock.TotalSleptMs(), c.sleptMs) << c.budget;
    if (c.clock == 0) {
      EXPECT_EQ(w.clock.sleeps, std::vector<int>(c.sleeps, 10));
    }
    EXPECT_EQ(w.output.Lines(), (Lines{"Time Out"}));
  }
}

TEST(ReplyBit, ReplyArrivingInAPassIsTakenInTheNext) {
  Wire w;
  int clocks = 0;
  w.port.onWrite = [&](const std::uint8_t*, int) {
    if (++clocks == 3) w.port.Feed(Bytes{0xFF});
  };
  EXPECT_EQ(w.protocol.ReplyBit(1, 2500), 1);
  EXPECT_EQ(clocks, 4);
  EXPECT_EQ(w.clock.sleeps, (std::vector<int>{25, 10, 25, 10, 25, 10, 25}));
  EXPECT_TRUE(w.output.calls.empty());
}

TEST(ReplyBit, NoiseIsReportedDroppedAndCostsAPass) {
  Wire w;
  w.port.Feed(Bytes{0x00, 0x7E, 0xFE});
  EXPECT_EQ(w.protocol.ReplyBit(0, 100), 0);
  EXPECT_EQ(w.output.Lines(), (Lines{"Hardware lost", "Hardware lost"}));
  EXPECT_EQ(w.clock.sleeps, (std::vector<int>{10, 10, 10}));

  // Read, noise, then the budget is gone before the good byte.
  Wire v;
  v.port.Feed(Bytes{0x00, 0xFE});
  EXPECT_EQ(v.protocol.ReplyBit(0, 20), -1);
  EXPECT_EQ(v.output.Lines(), (Lines{"Hardware lost", "Time Out"}));
  EXPECT_EQ(v.protocol.ReplyBit(0, 20), 0) << "the good byte is still there";
}

TEST(ByteChannel, QueueWritesOnlyWhenFullOrFlushed) {
  Wire w;
  w.protocol.FlushTx();  // empty queue
  EXPECT_TRUE(w.port.writes.empty());
  Bytes block;
  for (int i = 0; i < 255; ++i) block.push_back(static_cast<std::uint8_t>(i));
  block.push_back(0xAA);
  for (std::size_t i = 0; i < 255; ++i) w.protocol.QueueByte(block[i]);
  EXPECT_TRUE(w.port.writes.empty());
  w.protocol.QueueByte(0xAA);
  EXPECT_EQ(w.port.writes, std::vector<Bytes>{block});

  w.protocol.FlushTx();  // emptied by the automatic write
  w.protocol.QueueByte(1);
  w.protocol.QueueByte(2);
  w.protocol.FlushTx();
  EXPECT_EQ(w.port.writes, (std::vector<Bytes>{block, {1, 2}}));
  EXPECT_TRUE(w.output.calls.empty());
}

TEST(ByteChannel, ShortOrFailedWriteIsReportedAndTheRestDropped) {
  ChipWire w;
  w.port.writeLimit = 200;
  for (int i = 0; i < 256; ++i) w.protocol.QueueByte(0x11);
  EXPECT_EQ(w.output.Lines(), (Lines{"Transmit stall on"}));
  EXPECT_EQ(w.protocol.Tx().count, 0);
  w.port.writeLimit = -1;
  w.protocol.FlushTx();  // nothing left of the stalled block
  w.protocol.QueueByte(0x22);
  w.protocol.FlushTx();
  EXPECT_EQ(w.port.WriteSizes(), (std::vector<int>{200, 1}));
  EXPECT_EQ(w.output.Lines(), (Lines{"Transmit stall on"}));

  Wire f;
  f.port.open = false;  // a closed port's write fails outright
  f.protocol.QueueByte(0x33);
  f.protocol.QueueByte(0x34);
  f.protocol.FlushTx();
  EXPECT_EQ(f.output.Lines(), (Lines{"Unable to write"}));
  EXPECT_EQ(f.protocol.Tx().count, 0);
  f.port.open = true;
  f.protocol.QueueByte(0x35);
  f.protocol.FlushTx();
  EXPECT_EQ(f.port.writes, std::vector<Bytes>{{0x35}});
  EXPECT_EQ(f.output.Lines(), (Lines{"Unable to write"}));
}

TEST(ByteChannel, FailedReadIsReportedAndCountsAsNothing) {
  ChipWire w;
  w.port.failReads = true;
  EXPECT_EQ(w.protocol.FillRx(), 0);
  EXPECT_EQ(w.output.Lines(), (Lines{"Unable to read"}));
  // Every pass of a wait retries the read; two passes fit in 20 ms.
  w.output.calls.clear();
  EXPECT_EQ(w.protocol.ReplyBit(0, 20), -1);
  EXPECT_EQ(w.output.Lines(),
            (Lines{"Unable to read", "Unable to read", "Time Out"}));
}

TEST(ByteChannel, ReadsComeInBlocksOfAtMost256AndLeftOversComeFirst) {
  Wire w;
  w.port.Feed(Bytes(300, 0xFE));
  EXPECT_EQ(w.protocol.FillRx(), 256);
  EXPECT_EQ(w.protocol.FillRx(), 44);
  EXPECT_EQ(w.protocol.FillRx(), 0);

  Wire v;
  v.port.Feed(Bytes{0xFE, 0xFF});
  EXPECT_EQ(v.protocol.ReplyBit(0, 100), 0);
  // The reset purges the port's queue but not the protocol's own buffer.
  PulseReset(v.port, v.clock, 0);
  v.port.Feed(Bytes{0xFE});
  v.clock.sleeps.clear();
  EXPECT_EQ(v.protocol.ReplyBit(0, 100), 1);  // the left-over 0xFF
  EXPECT_TRUE(v.clock.sleeps.empty()) << "a buffered byte needs no wait";
  EXPECT_EQ(v.protocol.ReplyBit(0, 100), 0);  // now from the port
  EXPECT_TRUE(v.output.calls.empty());
}

TEST(PulseReset, PulsesOnlyTheChosenLineThenPurgesWhatArrivedMeanwhile) {
  const std::pair<int, Lines> cases[] = {
      {1, {"RTS+", "RTS-"}}, {0, {"DTR+", "DTR-"}}, {7, {"RTS+", "RTS-"}}};
  for (const auto& [useRts, events] : cases) {
    Wire w;
    w.port.Feed(std::string("stale"));
    // The board chatters while it comes out of reset.
    Lines atSleep;
    w.clock.onSleep = [&](int) {
      atSleep = w.port.lineEvents;
      w.port.Feed(std::string("boot noise"));
    };
    PulseReset(w.port, w.clock, useRts);
    EXPECT_EQ(w.port.lineEvents, events) << useRts;
    EXPECT_EQ(atSleep, events) << "released before the settle wait";
    EXPECT_EQ(w.clock.sleeps, (std::vector<int>{25, 100}));
    EXPECT_EQ(w.port.purges, 1);
    EXPECT_TRUE(w.port.incoming.empty());
    EXPECT_TRUE(w.port.writes.empty());
  }
}

}  // namespace
}  // namespace kestrix
