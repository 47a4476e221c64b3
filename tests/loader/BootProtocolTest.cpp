#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/SharedBlocks.h"
#include "loader/BootProtocol.h"
#include "loader/PortSearch.h"
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
using Options = sim::SimulatedPropeller::Options;

template <typename Port>
struct Rig {
  template <typename... Args>
  explicit Rig(Args&&... args) : port(std::forward<Args>(args)...) {}
  TransferContext Context() { return {port, clock, output, host, blocks}; }

  Port port;
  test::VirtualClock clock;
  test::RecordingOutput output;
  BootProtocol protocol{port, clock, output};
  NullHost host;
  SharedBlocks blocks;
};
using Wire = Rig<test::FakePort>;
using ChipWire = Rig<test::SimulatedPropellerPort>;

TEST(ReplyBit, BudgetBuysTenMsPassesOrOneClockBytePerPass) {
  const struct {
    const char* name;
    int clock, budget, clocks, sleeps, sleptMs;
  } cases[] = {{"no clock, 100 ms", 0, 100, 0, 10, 100},
               {"no clock, part of a pass", 0, 15, 0, 2, 20},
               {"one clock pass", 1, 35, 1, 2, 35},
               {"one ms into the second pass", 1, 36, 2, 4, 70},
               {"no budget", 1, 0, 0, 0, 0},
               {"negative budget", 1, -5, 0, 0, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Wire w;
    EXPECT_EQ(w.protocol.ReplyBit(c.clock, c.budget), -1);
    EXPECT_EQ(w.port.writes, std::vector<Bytes>(c.clocks, Bytes{0xF9}));
    EXPECT_EQ(std::pair(std::ssize(w.clock.sleeps), w.clock.TotalSleptMs()),
              std::pair(std::ptrdiff_t{c.sleeps}, std::int64_t{c.sleptMs}));
    EXPECT_EQ(w.output.lines, (Lines{"Time Out"}));
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
  // A failed read on a port still there is reported on every pass of a wait.
  ChipWire r;
  r.port.failReads = true;
  EXPECT_EQ(r.protocol.FillRx(), 0);
  EXPECT_EQ(r.protocol.ReplyBit(0, 20), -1);
  EXPECT_EQ(r.output.lines, (Lines{"Unable to read", "Unable to read",
                                   "Unable to read", "Time Out"}));
}

TEST(ByteChannel, AVanishedPortStopsTheExchangeWithOneLine) {
  for (bool failWrite : {true, false}) {
    SCOPED_TRACE(failWrite ? "write" : "read");
    Wire w;
    w.port.open = false;
    w.protocol.QueueByte(0x33);
    if (failWrite) w.protocol.FlushTx();
    if (!failWrite) w.protocol.FillRx();
    w.port.open = true;  // nothing more is tried, even if it came back
    EXPECT_EQ(w.protocol.ReplyBit(1, 2500), -1);
    w.protocol.FlushTx();
    EXPECT_EQ(w.output.lines, (Lines{"Hardware lost"}));
    EXPECT_TRUE(w.port.writes.empty());
    EXPECT_TRUE(w.clock.sleeps.empty());
    EXPECT_TRUE(w.protocol.PortLost());
  }
}

// DTR is pinned by the port search below.
TEST(PulseReset, PulsesOnlyTheChosenLineThenPurgesWhatArrivedMeanwhile) {
  Wire w;
  w.port.Feed(std::string("stale"));
  Lines atSleep;
  w.clock.onSleep = [&](int) {
    atSleep = w.port.events;
    w.port.Feed(std::string("boot noise"));
  };
  PulseReset(w.port, w.clock, /*useRts=*/true);
  EXPECT_EQ(atSleep, (Lines{"RTS+", "RTS-"})) << "released before the settle";
  EXPECT_EQ(w.port.events, (Lines{"RTS+", "RTS-", "purge"}));
  EXPECT_EQ(w.clock.sleeps, (std::vector<int>{25, 100}));
  EXPECT_TRUE(w.port.incoming.empty());
  EXPECT_TRUE(w.port.writes.empty());
}

TEST(Handshake, VersionAndFaultsOfTheChip) {
  const struct {
    const char* name;
    void (*set)(Options&);
    int version;
    Lines lines;
    int sleptMs = -1;  // -1: not checked
  } cases[] = {
      // clang-format off
      // Version 0 too: refusing it is the caller's business.
      {"version 0", [](auto& o) { o.version = 0; }, 0, {"Propeller Version = 0"}},
      {"version 255", [](auto& o) { o.version = 255; }, 255, {"Propeller Version = 255"}},
      {"wrong echo bit fails silently", [](auto& o) { o.flipEchoBit = 249; }, -1, {}},
      {"silent", [](auto& o) { o.silent = true; }, -1, {"Time Out"}, 100},
      // A missing version bit sets every bit from its own upwards.
      {"no version bits", [](auto& o) { o.handshakeReplies = 250; }, -1, {"Time Out", "Time Out", "Time Out", "Time Out", "Time Out", "Time Out", "Time Out", "Time Out", "Propeller Version = -1"}, 8 * 50 + 10},
      {"last version bit missing", [](auto& o) { o.handshakeReplies = 257; }, -127, {"Time Out", "Propeller Version = -127"}},
      {"noise before the echo", [](auto& o) { o.noiseBeforeEcho = {0, 0x55}; }, 1, {"Hardware lost", "Hardware lost", "Propeller Version = 1"}}};
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Options options;
    c.set(options);
    ChipWire w(options);
    w.port.FollowClock(w.clock);
    EXPECT_EQ(w.protocol.Handshake(), c.version);
    EXPECT_TRUE(w.port.chip.record().hostBitsOk);
    EXPECT_EQ(w.output.lines, c.lines);
    EXPECT_EQ(c.sleptMs < 0 ? -1 : w.clock.TotalSleptMs(), c.sleptMs);
  }
  // An earlier exchange left two replies in the protocol's own buffer: they
  // are not taken for the echo.
  ChipWire w;
  w.port.Feed(Bytes{0xFE, 0xFF, 0xFF});
  EXPECT_EQ(w.protocol.ReplyBit(0, 100), 0);
  EXPECT_EQ(w.protocol.Handshake(), 1);
  EXPECT_EQ(w.output.lines, (Lines{"Propeller Version = 1"}));
}

TEST(PortSearch, ProbeBitMapsReplyBytesToBitsSilently) {
  const struct {
    const char* name;
    int clock;
    Bytes incoming;
    int bit;
    std::vector<int> sleeps;
  } cases[] = {
      // clang-format off
      {"FE", 0, {0xFE}, 0, {}},
      {"FF", 0, {0xFF}, 1, {}},
      {"others dropped", 0, {0x00, 0x41, 0xFF}, 1, {10, 10}},
      {"budget spent first", 0, {0, 0, 0, 0, 0, 0xFF}, -1, std::vector<int>(5, 10)},
      // A clock byte's own wait does not count against the budget.
      {"with clock", 1, {}, -1, {25, 10, 25, 10, 25, 10, 25, 10, 25, 10}}};
  // clang-format on
  for (const auto& c : cases) {
    Wire w;
    w.port.Feed(c.incoming);
    EXPECT_EQ(ProbeBit(w.Context(), c.clock, 50), c.bit) << c.name;
    EXPECT_EQ(w.clock.sleeps, c.sleeps) << c.name;
    EXPECT_EQ(w.port.writes.size(), c.sleeps.size() / 2 * c.clock) << c.name;
    EXPECT_TRUE(w.output.lines.empty()) << c.name;
  }
}

TEST(PortSearch, DetectSendsTheHandshakeInTwoRawWritesAndReadsTheVersion) {
  ChipWire w;
  EXPECT_EQ(DetectPropeller(w.Context(), 0), 1);
  // A calibration byte, 250 host bits from the boot LFSR written out here
  // (seed 0x50, taps 7, 5, 4 and 1), then 258 clock bytes.
  std::vector<Bytes> expected = {{0xF9}, Bytes(258, 0xF9)};
  for (unsigned i = 0, state = 0x50; i < 250; ++i) {
    expected[0].push_back(state & 1 ? 0xFF : 0xFE);
    const unsigned feedback =
        ((state >> 7) ^ (state >> 5) ^ (state >> 4) ^ (state >> 1)) & 1;
    state = ((state << 1) & 0xFE) | feedback;
  }
  EXPECT_EQ(w.port.writes, expected);
  EXPECT_EQ(w.port.events, (Lines{"DTR+", "DTR-", "purge"}));
  Options wrongEcho;
  wrongEcho.flipEchoBit = 100;
  ChipWire other(wrongEcho);
  EXPECT_EQ(DetectPropeller(other.Context(), 1), -1);
}

}  // namespace
}  // namespace kestrix
