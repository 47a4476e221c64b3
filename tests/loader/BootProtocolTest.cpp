// The boot protocol on a scripted port: wire bytes, reply waits and channel
// failures.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "loader/BootProtocol.h"
#include "loader/PulseReset.h"
#include "loader/RecordingOutput.h"
#include "sim/SimulatedPropeller.h"
#include "support/FakePort.h"
#include "support/SimulatedPropellerPort.h"
#include "support/VirtualClock.h"

namespace kestrix {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Lines = std::vector<std::string>;

template <typename Port>
struct Rig {
  Port port;
  test::VirtualClock clock;
  test::RecordingOutput output;
  BootProtocol protocol{port, clock, output};
};
using Wire = Rig<test::FakePort>;

// For the channel faults the scripted port does not play.
struct ChipPort : test::SimulatedPropellerPort {
  ChipPort() : SimulatedPropellerPort(chip) {}
  sim::SimulatedPropeller chip;
};
using ChipWire = Rig<ChipPort>;

TEST(ReplyBit, BudgetBuysTenMsPassesOrOneClockBytePerPass) {
  const struct {
    const char* name;
    int clock, budget, clocks, sleeps, sleptMs;
  } cases[] = {{"no clock, 100 ms", 0, 100, 0, 10, 100},
               {"no clock, part of a pass", 0, 15, 0, 2, 20},
               {"checksum wait", 1, 2500, 72, 144, 2520},
               {"one clock pass", 1, 35, 1, 2, 35},
               {"one ms into the second pass", 1, 36, 2, 4, 70},
               {"no budget", 1, 0, 0, 0, 0},
               {"negative budget", 1, -5, 0, 0, 0}};
  for (const auto& c : cases) {
    Wire w;
    EXPECT_EQ(w.protocol.ReplyBit(c.clock, c.budget), -1) << c.name;
    EXPECT_EQ(w.port.writes, std::vector<Bytes>(c.clocks, Bytes{0xF9}))
        << c.name;
    EXPECT_EQ(static_cast<int>(w.clock.sleeps.size()), c.sleeps) << c.name;
    EXPECT_EQ(w.clock.TotalSleptMs(), c.sleptMs) << c.name;
    EXPECT_EQ(w.output.lines, (Lines{"Time Out"})) << c.name;
  }
}

TEST(ByteChannel, ShortOrFailedTransfersAreReportedAndDropped) {
  ChipWire w;
  w.port.writeLimit = 200;
  for (int i = 0; i < 256; ++i) w.protocol.QueueByte(0x11);
  EXPECT_EQ(w.output.lines, (Lines{"Transmit stall on"}));
  EXPECT_EQ(w.protocol.Tx().count, 0);
  w.port.writeLimit = -1;
  w.protocol.FlushTx();  // nothing left of the stalled block
  w.protocol.QueueByte(0x22);
  w.protocol.FlushTx();
  EXPECT_EQ(w.port.writes, (std::vector<Bytes>{Bytes(200, 0x11), {0x22}}));

  // A failed read on a port still there is reported on every pass of a
  // wait; two fit in 20 ms.
  ChipWire r;
  r.port.failReads = true;
  EXPECT_EQ(r.protocol.FillRx(), 0);
  EXPECT_EQ(r.protocol.ReplyBit(0, 20), -1);
  EXPECT_EQ(r.output.lines, (Lines{"Unable to read", "Unable to read",
                                   "Unable to read", "Time Out"}));
}

TEST(ByteChannel, AVanishedPortStopsTheExchangeWithOneLine) {
  // The driver closes a port whose adapter was pulled; its writes and reads
  // then fail outright.
  const struct {
    const char* name;
    bool failWrite;
  } cases[] = {{"write", true}, {"read", false}};
  for (const auto& c : cases) {
    Wire w;
    w.port.open = false;
    if (c.failWrite) {
      w.protocol.QueueByte(0x33);
      w.protocol.FlushTx();
    } else {
      w.protocol.FillRx();
    }
    w.port.open = true;  // nothing more is tried, even if it came back
    EXPECT_EQ(w.protocol.ReplyBit(1, 2500), -1) << c.name;
    w.protocol.QueueByte(0x35);
    w.protocol.FlushTx();
    EXPECT_EQ(w.output.lines, (Lines{"Hardware lost"})) << c.name;
    EXPECT_TRUE(w.port.writes.empty()) << c.name;
    EXPECT_TRUE(w.clock.sleeps.empty()) << c.name;
    EXPECT_TRUE(w.protocol.PortLost()) << c.name;
  }
}

TEST(PulseReset, PulsesOnlyTheChosenLineThenPurgesWhatArrivedMeanwhile) {
  const struct {
    const char* name;
    int useRts;
    Lines events;
  } cases[] = {{"RTS", 1, {"RTS+", "RTS-"}},
               {"DTR", 0, {"DTR+", "DTR-"}},
               {"any other value is RTS", 7, {"RTS+", "RTS-"}}};
  for (const auto& [name, useRts, events] : cases) {
    Wire w;
    w.port.Feed(std::string("stale"));
    Lines atSleep;
    w.clock.onSleep = [&](int) {
      atSleep = w.port.lineEvents;
      w.port.Feed(std::string("boot noise"));
    };
    PulseReset(w.port, w.clock, useRts);
    EXPECT_EQ(w.port.lineEvents, events) << name;
    EXPECT_EQ(atSleep, events) << name << ": released before the settle wait";
    EXPECT_EQ(w.clock.sleeps, (std::vector<int>{25, 100})) << name;
    EXPECT_EQ(w.port.purges, 1) << name;
    EXPECT_TRUE(w.port.incoming.empty()) << name;
    EXPECT_TRUE(w.port.writes.empty()) << name;
  }
}

}  // namespace
}  // namespace kestrix
