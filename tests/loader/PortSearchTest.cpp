// The port search's silent reply bits and detection handshake.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/SharedBlocks.h"
#include "loader/PortSearch.h"
#include "loader/RecordingOutput.h"
#include "sim/SimulatedPropeller.h"
#include "support/FakePort.h"
#include "support/SimulatedPropellerPort.h"
#include "support/VirtualClock.h"

namespace kestrix {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Lines = std::vector<std::string>;

// The search prints nothing and pumps no window.
TransferContext Context(BytePort& port, Clock& clock, SharedBlocks& blocks) {
  static test::RecordingOutput output;
  static NullHost host;
  return {port, clock, output, host, blocks};
}

TEST(ProbeBitTest, MapsReplyBytesToBitsAndDropsOthers) {
  const struct {
    const char* name;
    Bytes incoming;
    int bit;
    int passes;  // 10 ms waits before the answer
  } cases[] = {{"FE", {0xFE}, 0, 0},
               {"FF", {0xFF}, 1, 0},
               {"others dropped", {0x00, 0x41, 0xFF}, 1, 2},
               {"budget spent first", {0, 0, 0, 0, 0, 0xFF}, -1, 5},
               {"nothing", {}, -1, 5}};
  for (const auto& c : cases) {
    test::FakePort port;
    test::VirtualClock clock;
    SharedBlocks blocks;
    port.Feed(c.incoming);
    EXPECT_EQ(ProbeBit(Context(port, clock, blocks), 0, 50), c.bit) << c.name;
    EXPECT_EQ(clock.sleeps, std::vector<int>(c.passes, 10)) << c.name;
    EXPECT_TRUE(port.writes.empty()) << c.name;
  }
  // With the clock, a clock byte goes before each read; its own wait does not
  // count against the budget.
  test::FakePort port;
  test::VirtualClock clock;
  SharedBlocks blocks;
  EXPECT_EQ(ProbeBit(Context(port, clock, blocks), 1, 20), -1);
  EXPECT_EQ(port.writes, (std::vector<Bytes>{{0xF9}, {0xF9}}));
  EXPECT_EQ(clock.sleeps, (std::vector<int>{25, 10, 25, 10}));
}

TEST(DetectPropellerTest, SendsTheHandshakeInTwoRawWritesAndReadsTheVersion) {
  sim::SimulatedPropeller chip;
  test::SimulatedPropellerPort port(chip);
  test::VirtualClock clock;
  SharedBlocks blocks;
  EXPECT_EQ(DetectPropeller(Context(port, clock, blocks), 0), 1);
  // A calibration byte, 250 host bits from the boot LFSR written out here
  // (seed 0x50, taps 7, 5, 4 and 1), then 258 clock bytes.
  std::vector<Bytes> expected = {{0xF9}, Bytes(258, 0xF9)};
  for (unsigned i = 0, state = 0x50; i < 250; ++i) {
    expected[0].push_back(state & 1 ? 0xFF : 0xFE);
    const unsigned feedback =
        ((state >> 7) ^ (state >> 5) ^ (state >> 4) ^ (state >> 1)) & 1;
    state = ((state << 1) & 0xFE) | feedback;
  }
  EXPECT_EQ(port.writes, expected);
  EXPECT_EQ(port.lineEvents, (Lines{"DTR+", "DTR-"}));
}

TEST(DetectPropellerTest, SilentOrWrongEchoIsNoPropeller) {
  for (int flip : {-1, 100}) {
    sim::SimulatedPropeller chip;
    chip.options().silent = flip < 0;
    chip.options().flipEchoBit = flip;
    test::SimulatedPropellerPort port(chip);
    test::VirtualClock clock;
    SharedBlocks blocks;
    EXPECT_EQ(DetectPropeller(Context(port, clock, blocks), 1), -1)
        << (flip < 0 ? "silent" : "wrong echo");
  }
}

}  // namespace
}  // namespace kestrix
