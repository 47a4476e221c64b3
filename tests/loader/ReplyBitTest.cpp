// Waiting for one reply bit: how many passes and clock bytes a budget buys,
// and how replies and noise are taken.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "loader/BootProtocol.h"
#include "loader/RecordingOutput.h"
#include "support/FakePort.h"
#include "support/VirtualClock.h"

namespace kestrix {
namespace {

using Lines = std::vector<std::string>;

struct Silent {
  test::FakePort port;
  test::VirtualClock clock;
  test::RecordingOutput output;
  BootProtocol protocol{port, clock, output};

  int ClockBytes() const {
    auto all = port.Written();
    return static_cast<int>(std::count(all.begin(), all.end(), 0xF9));
  }
};

TEST(ReplyBit, BudgetWithoutClockIsCountedInTenMsPasses) {
  struct Case {
    int budget;
    int passes;
  };
  for (Case c : {Case{100, 10}, Case{50, 5}, Case{15, 2}, Case{10, 1}}) {
    Silent s;
    EXPECT_EQ(s.protocol.ReplyBit(0, c.budget), -1) << c.budget;
    EXPECT_EQ(s.clock.sleeps, std::vector<int>(c.passes, 10)) << c.budget;
    EXPECT_TRUE(s.port.writes.empty());
    EXPECT_EQ(s.output.Lines(), (Lines{"Time Out"}));
  }
}

TEST(ReplyBit, BudgetWithClockSendsOneClockBytePerPass) {
  struct Case {
    int budget;
    int clocks;
  };
  for (Case c : {Case{2500, 72}, Case{5000, 143}, Case{35, 1}, Case{36, 2}}) {
    Silent s;
    EXPECT_EQ(s.protocol.ReplyBit(1, c.budget), -1) << c.budget;
    EXPECT_EQ(s.ClockBytes(), c.clocks) << c.budget;
    EXPECT_EQ(static_cast<int>(s.port.writes.size()), c.clocks)
        << "each clock byte is its own write";
    EXPECT_EQ(s.clock.TotalSleptMs(), 35 * c.clocks) << c.budget;
    EXPECT_EQ(s.output.Lines(), (Lines{"Time Out"}));
  }
}

TEST(ReplyBit, NoBudgetTimesOutWithoutTouchingThePort) {
  Silent s;
  EXPECT_EQ(s.protocol.ReplyBit(1, 0), -1);
  EXPECT_EQ(s.protocol.ReplyBit(1, -5), -1);
  EXPECT_TRUE(s.port.writes.empty());
  EXPECT_TRUE(s.clock.sleeps.empty());
  EXPECT_EQ(s.output.Lines(), (Lines{"Time Out", "Time Out"}));
}

TEST(ReplyBit, ReplyArrivingInAPassIsTakenInTheNext) {
  Silent s;
  int clocks = 0;
  s.port.onWrite = [&](const std::uint8_t*, int) {
    if (++clocks == 3) s.port.Feed(std::vector<std::uint8_t>{0xFF});
  };
  EXPECT_EQ(s.protocol.ReplyBit(1, 2500), 1);
  EXPECT_EQ(clocks, 4);
  EXPECT_EQ(s.clock.sleeps, (std::vector<int>{25, 10, 25, 10, 25, 10, 25}));
  EXPECT_TRUE(s.output.calls.empty());
}

TEST(ReplyBit, NoiseIsReportedDroppedAndCostsAPass) {
  {
    Silent s;
    s.port.Feed(std::vector<std::uint8_t>{0x00, 0x7E, 0xFE});
    EXPECT_EQ(s.protocol.ReplyBit(0, 100), 0);
    EXPECT_EQ(s.output.Lines(), (Lines{"Hardware lost", "Hardware lost"}));
    EXPECT_EQ(s.clock.sleeps, (std::vector<int>{10, 10, 10}));
  }
  {
    // Read, noise, then the budget is gone before the good byte.
    Silent s;
    s.port.Feed(std::vector<std::uint8_t>{0x00, 0xFE});
    EXPECT_EQ(s.protocol.ReplyBit(0, 20), -1);
    EXPECT_EQ(s.output.Lines(), (Lines{"Hardware lost", "Time Out"}));
    EXPECT_EQ(s.protocol.ReplyBit(0, 20), 0) << "the good byte is still there";
  }
}

}  // namespace
}  // namespace kestrix
