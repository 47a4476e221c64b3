// The reset pulse on a modem-control line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "loader/PulseReset.h"
#include "support/FakePort.h"
#include "support/SimulatedPropeller.h"
#include "support/SimulatedPropellerPort.h"
#include "support/VirtualClock.h"

namespace kestrix {
namespace {

using Events = std::vector<std::string>;

TEST(PulseReset, PulsesOnlyTheChosenLineThenPurgesWhatArrivedMeanwhile) {
  struct Case {
    int useRts;
    Events events;
  };
  for (const Case& c : {Case{1, {"RTS+", "RTS-"}}, Case{0, {"DTR+", "DTR-"}},
                        Case{7, {"RTS+", "RTS-"}}}) {
    test::FakePort port;
    test::VirtualClock clock;
    port.Feed(std::string("stale"));
    // The board chatters while it comes out of reset.
    Events atSleep;
    clock.onSleep = [&](int) {
      atSleep = port.lineEvents;
      port.Feed(std::string("boot noise"));
    };

    PulseReset(port, clock, c.useRts);

    EXPECT_EQ(port.lineEvents, c.events) << c.useRts;
    EXPECT_EQ(clock.sleeps, (std::vector<int>{25, 100}));
    // Released before the settle wait.
    EXPECT_EQ(atSleep, c.events);
    EXPECT_EQ(port.purges, 1);
    EXPECT_TRUE(port.incoming.empty());
    EXPECT_TRUE(port.writes.empty());
  }
}

TEST(PulseReset, ResetsTheSimulatedChip) {
  test::SimulatedPropeller chip;
  test::SimulatedPropellerPort port(chip);
  test::VirtualClock clock;
  std::uint8_t calibration = 0xF9;
  port.Write(&calibration, 1);
  ASSERT_EQ(chip.phase(), test::SimulatedPropeller::Phase::kHostBits);

  PulseReset(port, clock, 0);
  EXPECT_EQ(chip.resets(), 1);
  EXPECT_EQ(chip.phase(), test::SimulatedPropeller::Phase::kWaitCalibration);
  PulseReset(port, clock, 1);
  EXPECT_EQ(chip.resets(), 2);
}

}  // namespace
}  // namespace kestrix
