// Downloads to a simulated chip: which memory, how many longs and how they
// are blocked on the wire.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "loader/BootProtocol.h"
#include "loader/LoaderImage.h"
#include "loader/PulseReset.h"
#include "loader/RecordingOutput.h"
#include "support/SimulatedPropeller.h"
#include "support/SimulatedPropellerPort.h"
#include "support/VirtualClock.h"

namespace kestrix {
namespace {

using Lines = std::vector<std::string>;

struct Rig {
  Rig() { port.FollowClock(clock); }
  test::SimulatedPropeller chip;
  test::SimulatedPropellerPort port{chip};
  test::VirtualClock clock;
  test::RecordingOutput output;
  BootProtocol protocol{port, clock, output};
};

TEST(Download, LengthAndMemoryDecideTheLongsSent) {
  std::vector<std::uint8_t> bytes;
  LoaderImage image{};
  std::uint32_t x = 7;
  for (int i = 0; i < kLoaderImageLongs * 4; ++i) {
    x = x * 1664525u + 1013904223u;
    bytes.push_back(static_cast<std::uint8_t>(x >> 24));
    image[i / 4] |= std::uint32_t{bytes.back()} << (8 * (i % 4));
  }
  const struct {
    int byteLength, eeprom;
    const char* announced;
    int longs;
  } cases[] = {{100, 0, "Write in RAM Lenght=100", 25},
               // The EEPROM is programmed whole, whatever length is passed.
               {100, 1, "Write in EEPROM Lenght=32768", 8192},
               {0, 0, "Write in RAM Lenght=0", 0},
               {1'000'000, 0, "Write in RAM Lenght=32804", kLoaderImageLongs},
               {-8, 0, "Write in RAM Lenght=0", 0}};
  for (const auto& c : cases) {
    Rig rig;
    PulseReset(rig.port, rig.clock, 1);
    ASSERT_EQ(rig.protocol.Handshake(), 1);
    rig.protocol.Download(c.byteLength, image, c.eeprom);
    EXPECT_EQ(rig.output.Lines(), (Lines{"Propeller Version = 1", c.announced,
                                         "Verify ..", "..OK -> RUN"}));
    const auto& got = rig.chip.record();
    EXPECT_EQ(got.command, c.eeprom ? 3 : 1) << c.byteLength;
    EXPECT_EQ(got.lengthLongs, c.longs) << c.byteLength;
    EXPECT_TRUE(got.longsWellFormed);
    EXPECT_EQ(
        got.ImageBytes(),
        std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 4 * c.longs));
    EXPECT_EQ(rig.chip.phase(), test::SimulatedPropeller::Phase::kRunning);
    // Command and length each in their own write, the image in blocks of
    // 256 and a rest, all before the first clock byte.
    std::vector<int> expected = {11, 11};
    for (int left = 11 * c.longs; left > 0; left -= 256) {
      expected.push_back(std::min(left, 256));
    }
    const auto sizes = rig.port.WriteSizes();
    EXPECT_EQ(std::vector<int>(sizes.begin() + 2,
                               sizes.begin() + 2 + expected.size()),
              expected);
    EXPECT_EQ(rig.port.writes.at(2 + expected.size()),
              std::vector<std::uint8_t>{0xF9});
  }
}

}  // namespace
}  // namespace kestrix
