// Downloads to a simulated chip: which memory, how many longs and how they
// are blocked on the wire. The chip's faults are in UploadStatusTest.
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
using Phase = test::SimulatedPropeller::Phase;

constexpr int kRam = 0;
constexpr int kEeprom = 1;
constexpr std::size_t kHandshakeBytes = 509;

struct Rig {
  Rig() { port.FollowClock(clock); }

  Lines Upload(int byteLength, const LoaderImage& image, int eepromMode) {
    PulseReset(port, clock, 1);
    EXPECT_EQ(protocol.Handshake(), 1);
    protocol.Download(byteLength, image, eepromMode);
    return output.Lines();
  }

  // Host bytes after the handshake, up to the first clock byte.
  std::size_t BytesBeforeFirstClock() const {
    auto all = port.Written();
    if (all.size() < kHandshakeBytes) return 0;
    auto start = all.begin() + kHandshakeBytes;
    return std::find(start, all.end(), std::uint8_t{0xF9}) - start;
  }

  test::SimulatedPropeller chip;
  test::SimulatedPropellerPort port{chip};
  test::VirtualClock clock;
  test::RecordingOutput output;
  BootProtocol protocol{port, clock, output};
};

TEST(Download, LengthAndMemoryDecideTheLongsSent) {
  // A full image of bytes that differ within and between longs.
  std::vector<std::uint8_t> bytes;
  LoaderImage image{};
  std::uint32_t x = 7;
  for (int i = 0; i < kLoaderImageLongs * 4; ++i) {
    x = x * 1664525u + 1013904223u;
    bytes.push_back(static_cast<std::uint8_t>(x >> 24));
    image[i / 4] |= std::uint32_t{bytes.back()} << (8 * (i % 4));
  }
  const struct {
    int byteLength;
    int mode;
    const char* announced;
    int longs;
  } cases[] = {
      {100, kRam, "Write in RAM Lenght=100", 25},
      // The EEPROM is programmed whole, whatever length is passed.
      {100, kEeprom, "Write in EEPROM Lenght=32768", 8192},
      {0, kRam, "Write in RAM Lenght=0", 0},
      {1'000'000, kRam, "Write in RAM Lenght=32804", kLoaderImageLongs},
      {-8, kRam, "Write in RAM Lenght=0", 0},
  };
  for (const auto& c : cases) {
    Rig rig;
    EXPECT_EQ(rig.Upload(c.byteLength, image, c.mode),
              (Lines{"Propeller Version = 1", c.announced, "Verify ..",
                     "..OK -> RUN"}));
    const auto& got = rig.chip.record();
    EXPECT_EQ(got.command, c.mode == kEeprom ? 3 : 1) << c.byteLength;
    EXPECT_EQ(got.lengthLongs, c.longs) << c.byteLength;
    EXPECT_TRUE(got.longsWellFormed);
    EXPECT_EQ(
        got.ImageBytes(),
        std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 4 * c.longs));
    EXPECT_EQ(rig.chip.phase(), Phase::kRunning);
    // Command, length and image longs of 11 bytes before any clock.
    EXPECT_EQ(rig.BytesBeforeFirstClock(), 11u * (c.longs + 2));
  }

  // Command and length each leave in their own write; the image in full
  // blocks and a rest.
  Rig rig;
  rig.Upload(100, image, kRam);
  auto sizes = rig.port.WriteSizes();
  ASSERT_GE(sizes.size(), 6u);
  EXPECT_EQ(std::vector<int>(sizes.begin() + 2, sizes.begin() + 6),
            (std::vector<int>{11, 11, 256, 19}));
}

}  // namespace
}  // namespace kestrix
