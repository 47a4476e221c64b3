// Downloads to a simulated chip: what arrives, what is shown, and how each
// fault of the chip is reported.
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

// A file's bytes, packed the way the upload driver packs them.
struct File {
  std::vector<std::uint8_t> bytes;
  LoaderImage image{};
};

File MakeFile(int size, std::uint32_t seed) {
  File f;
  std::uint32_t x = seed;
  for (int i = 0; i < size; ++i) {
    x = x * 1664525u + 1013904223u;
    f.bytes.push_back(static_cast<std::uint8_t>(x >> 24));
  }
  for (int i = 0; i < size; ++i) {
    f.image[i / 4] |= std::uint32_t{f.bytes[i]} << (8 * (i % 4));
  }
  return f;
}

struct Rig {
  explicit Rig(test::SimulatedPropeller::Options options = {})
      : chip(std::move(options)) {
    port.FollowClock(clock);
  }

  // Reset, handshake and, if the chip answered, the download; returns all
  // lines shown.
  Lines Upload(int byteLength, const LoaderImage& image, int eepromMode) {
    PulseReset(port, clock, 1);
    int version = protocol.Handshake();
    EXPECT_EQ(version, 1);
    if (version >= 1) protocol.Download(byteLength, image, eepromMode);
    return output.Lines();
  }

  // Host bytes that followed the handshake, up to the first clock byte.
  std::vector<std::uint8_t> BytesBeforeFirstClock() const {
    auto all = port.Written();
    if (all.size() < 509) return {};
    auto start = all.begin() + 509;
    auto firstClock = std::find(start, all.end(), std::uint8_t{0xF9});
    return {start, firstClock};
  }

  test::SimulatedPropeller chip;
  test::SimulatedPropellerPort port{chip};
  test::VirtualClock clock;
  test::RecordingOutput output;
  BootProtocol protocol{port, clock, output};
};

// The lines after the version and the length announcement.
Lines AfterAnnouncement(const Lines& lines) {
  if (lines.size() < 2)
    return {"(only " + std::to_string(lines.size()) + " lines)"};
  return Lines(lines.begin() + 2, lines.end());
}

test::SimulatedPropeller::Options With(
    void (*set)(test::SimulatedPropeller::Options&)) {
  test::SimulatedPropeller::Options o;
  set(o);
  return o;
}

TEST(Download, RamImageArrivesWholeAndRuns) {
  File file = MakeFile(100, 7);
  Rig rig;
  EXPECT_EQ(rig.Upload(100, file.image, kRam),
            (Lines{"Propeller Version = 1", "Write in RAM Lenght=100",
                   "Verify ..", "..OK -> RUN"}));

  const auto& got = rig.chip.record();
  EXPECT_EQ(got.command, 1);
  EXPECT_EQ(got.lengthLongs, 25);
  EXPECT_TRUE(got.longsWellFormed);
  EXPECT_EQ(got.ImageBytes(), file.bytes);
  EXPECT_EQ(rig.chip.phase(), Phase::kRunning);

  // Command, length and 25 longs: 27 longs of 11 bytes before any clock.
  EXPECT_EQ(rig.BytesBeforeFirstClock().size(), 297u);
  // Command and length each leave in their own write; the image in full
  // blocks and a rest.
  auto sizes = rig.port.WriteSizes();
  ASSERT_GE(sizes.size(), 6u);
  EXPECT_EQ(std::vector<int>(sizes.begin() + 2, sizes.begin() + 6),
            (std::vector<int>{11, 11, 256, 19}));
}

TEST(Download, EepromAlwaysSendsTheWhole32KiB) {
  File file = MakeFile(32768, 11);
  Rig rig;
  // The length passed is ignored: the EEPROM is programmed whole.
  EXPECT_EQ(rig.Upload(100, file.image, kEeprom),
            (Lines{"Propeller Version = 1", "Write in EEPROM Lenght=32768",
                   "Verify ..", "..OK -> RUN"}));
  const auto& got = rig.chip.record();
  EXPECT_EQ(got.command, 3);
  EXPECT_EQ(got.lengthLongs, 8192);
  EXPECT_EQ(got.ImageBytes(), file.bytes);
  EXPECT_EQ(got.statusBitsSent, (std::vector<int>{0, 0, 0}));
  EXPECT_EQ(rig.chip.phase(), Phase::kRunning);
  EXPECT_EQ(rig.BytesBeforeFirstClock().size(), 8194u * 11u);
}

TEST(Download, EmptyImageAnnouncesZeroAndSendsNoLongs) {
  LoaderImage image{};
  image[0] = 0xDEADBEEF;  // must not be sent
  Rig rig;
  EXPECT_EQ(rig.Upload(0, image, kRam),
            (Lines{"Propeller Version = 1", "Write in RAM Lenght=0",
                   "Verify ..", "..OK -> RUN"}));
  EXPECT_EQ(rig.chip.record().lengthLongs, 0);
  EXPECT_TRUE(rig.chip.record().longs.empty());
  EXPECT_EQ(rig.BytesBeforeFirstClock().size(), 22u);
}

TEST(Download, LengthsOutsideTheImageAreClamped) {
  File file = MakeFile(kLoaderImageLongs * 4, 3);
  {
    Rig rig;
    Lines lines = rig.Upload(1'000'000, file.image, kRam);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[1], "Write in RAM Lenght=32804");
    EXPECT_EQ(rig.chip.record().lengthLongs, kLoaderImageLongs);
    EXPECT_EQ(rig.chip.record().ImageBytes(), file.bytes);
  }
  {
    Rig rig;
    Lines lines = rig.Upload(-8, file.image, kRam);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[1], "Write in RAM Lenght=0");
    EXPECT_EQ(rig.chip.record().lengthLongs, 0);
  }
}

TEST(Download, ChecksumFailures) {
  File file = MakeFile(64, 5);
  {
    Rig rig(With([](auto& o) { o.checksumError = true; }));
    EXPECT_EQ(rig.Upload(64, file.image, kRam),
              (Lines{"Propeller Version = 1", "Write in RAM Lenght=64",
                     "Verify ..", "CheckSum Error"}));
  }
  {
    // An EEPROM checksum error stops before the programming waits.
    Rig rig(With([](auto& o) { o.checksumError = true; }));
    Lines lines = rig.Upload(64, file.image, kEeprom);
    EXPECT_EQ(AfterAnnouncement(lines), (Lines{"Verify ..", "CheckSum Error"}));
    EXPECT_LT(rig.chip.record().statusClocks, 5);
  }
  {
    // No checksum reply: 72 clock bytes, then the time-out.
    Rig rig(With([](auto& o) { o.silentAfterImage = true; }));
    EXPECT_EQ(rig.Upload(64, file.image, kRam),
              (Lines{"Propeller Version = 1", "Write in RAM Lenght=64",
                     "Verify ..", "Time Out", "CheckSum Error"}));
    auto all = rig.port.Written();
    ASSERT_GT(all.size(), 509u);
    EXPECT_EQ(std::count(all.begin() + 509, all.end(), 0xF9), 72);
  }
}

TEST(Download, NoiseBeforeTheChecksumIsSkipped) {
  File file = MakeFile(64, 9);
  Rig rig(With([](auto& o) { o.noiseBeforeChecksum = {0x00}; }));
  EXPECT_EQ(rig.Upload(64, file.image, kRam),
            (Lines{"Propeller Version = 1", "Write in RAM Lenght=64",
                   "Verify ..", "Hardware lost", "..OK -> RUN"}));
}

TEST(Download, EepromProgrammingAndVerifyFailures) {
  File file = MakeFile(32768, 13);
  {
    Rig rig(With([](auto& o) { o.eepromWriteError = true; }));
    EXPECT_EQ(AfterAnnouncement(rig.Upload(32768, file.image, kEeprom)),
              (Lines{"Verify ..", "EEPROM write Error"}));
  }
  {
    Rig rig(With([](auto& o) { o.eepromVerifyError = true; }));
    EXPECT_EQ(AfterAnnouncement(rig.Upload(32768, file.image, kEeprom)),
              (Lines{"Verify ..", "EEPROM verify Error"}));
  }
  {
    // Both reported as failed: the write error is the one shown.
    Rig rig(With([](auto& o) {
      o.eepromWriteError = true;
      o.eepromVerifyError = true;
    }));
    EXPECT_EQ(AfterAnnouncement(rig.Upload(32768, file.image, kEeprom)),
              (Lines{"Verify ..", "EEPROM write Error"}));
  }
}

TEST(Download, SlowEepromProgrammingIsToleratedWhenVerifyAnswers) {
  File file = MakeFile(32768, 17);
  // Programming outlasts the 5 s wait but ends within the verify wait.
  Rig rig(With([](auto& o) { o.eepromProgramMs = 6000; }));
  EXPECT_EQ(rig.Upload(32768, file.image, kEeprom),
            (Lines{"Propeller Version = 1", "Write in EEPROM Lenght=32768",
                   "Verify ..", "Time Out", "..OK -> RUN"}));
  // Two clocks for the checksum, 143 unanswered during programming.
  EXPECT_GE(rig.chip.record().statusClocks, 2 + 143);
}

TEST(Download, EepromThatNeverConfirmsIsNotReportedAsGood) {
  File file = MakeFile(32768, 19);
  Rig rig(With([](auto& o) { o.eepromProgramMs = 60'000; }));
  EXPECT_EQ(
      rig.Upload(32768, file.image, kEeprom),
      (Lines{"Propeller Version = 1", "Write in EEPROM Lenght=32768",
             "Verify ..", "Time Out", "Time Out", "EEPROM verify Error"}));
  EXPECT_EQ(rig.chip.record().statusClocks, 2 + 143 + 72);
}

TEST(Download, SecondUploadAfterResetStartsAFreshSession) {
  File first = MakeFile(40, 21);
  File second = MakeFile(80, 23);
  Rig rig;
  rig.Upload(40, first.image, kRam);
  rig.output.calls.clear();
  EXPECT_EQ(rig.Upload(80, second.image, kRam),
            (Lines{"Propeller Version = 1", "Write in RAM Lenght=80",
                   "Verify ..", "..OK -> RUN"}));
  EXPECT_EQ(rig.chip.resets(), 2);
  EXPECT_EQ(rig.chip.record().ImageBytes(), second.bytes);
}

}  // namespace
}  // namespace kestrix
