// Bytes the boot protocol puts on the wire: longs, LFSR bits and the
// handshake burst.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "loader/BootProtocol.h"
#include "loader/RecordingOutput.h"
#include "support/FakePort.h"
#include "support/VirtualClock.h"

namespace kestrix {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Wire {
  test::FakePort port;
  test::VirtualClock clock;
  test::RecordingOutput output;
  BootProtocol protocol{port, clock, output};
};

Bytes EncodedLong(std::uint32_t value) {
  Wire w;
  w.protocol.SendLong(value);
  EXPECT_TRUE(w.port.writes.empty()) << "SendLong must not flush";
  w.protocol.FlushTx();
  return w.port.Written();
}

TEST(WireEncoding, LongsTravelAsElevenBytesOfThreeBits) {
  EXPECT_EQ(EncodedLong(0), (Bytes{0x92, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92,
                                   0x92, 0x92, 0x92, 0xF2}));
  EXPECT_EQ(EncodedLong(1), (Bytes{0x93, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92,
                                   0x92, 0x92, 0x92, 0xF2}));
  EXPECT_EQ(EncodedLong(3), (Bytes{0x9B, 0x92, 0x92, 0x92, 0x92, 0x92, 0x92,
                                   0x92, 0x92, 0x92, 0xF2}));
  EXPECT_EQ(EncodedLong(8192), (Bytes{0x92, 0x92, 0x92, 0x92, 0x9A, 0x92, 0x92,
                                      0x92, 0x92, 0x92, 0xF2}));
  EXPECT_EQ(EncodedLong(0xFFFFFFFF), (Bytes{0xDB, 0xDB, 0xDB, 0xDB, 0xDB, 0xDB,
                                            0xDB, 0xDB, 0xDB, 0xDB, 0xFB}));
  EXPECT_EQ(EncodedLong(0x80000000), (Bytes{0x92, 0x92, 0x92, 0x92, 0x92, 0x92,
                                            0x92, 0x92, 0x92, 0x92, 0xFA}));
  // Bit 30 alone lands in bit 0 of the closing byte; bit 2 in bit 6 of the
  // first.
  EXPECT_EQ(EncodedLong(0x40000004), (Bytes{0xD2, 0x92, 0x92, 0x92, 0x92, 0x92,
                                            0x92, 0x92, 0x92, 0x92, 0xF3}));
}

TEST(WireEncoding, LfsrFromSeedGivesTheKnownSequence) {
  Wire w;
  std::vector<int> bits;
  for (int i = 0; i < 600; ++i) bits.push_back(w.protocol.LfsrNext());

  EXPECT_EQ(std::vector<int>(bits.begin(), bits.begin() + 16),
            (std::vector<int>{0, 1, 0, 1, 1, 1, 0, 0, 1, 1, 1, 1, 0, 1, 0, 1}));
  // Bits 251 to 258, counted from 1: the start of the chip's echo.
  EXPECT_EQ(std::vector<int>(bits.begin() + 250, bits.begin() + 258),
            (std::vector<int>{0, 1, 0, 0, 0, 0, 1, 0}));
  for (int i = 0; i + 255 < 600; ++i) {
    ASSERT_EQ(bits[i], bits[i + 255]) << "period broken at " << i;
  }
  // A maximal 8-bit sequence: not periodic with any shorter divisor of 255.
  for (int period : {3, 5, 15, 17, 51, 85}) {
    bool repeats = true;
    for (int i = 0; i + period < 600 && repeats; ++i) {
      repeats = bits[i] == bits[i + period];
    }
    EXPECT_FALSE(repeats) << "period " << period;
  }
}

TEST(WireEncoding, HandshakeSendsCalibrationBitsAndClocksInTwoWrites) {
  Wire w;  // nobody answers
  int version = w.protocol.Handshake();
  EXPECT_EQ(version, -1);

  ASSERT_EQ(w.port.writes.size(), 2u);
  EXPECT_EQ(w.port.writes[0].size(), 256u);
  EXPECT_EQ(w.port.writes[1].size(), 253u);
  Bytes all = w.port.Written();
  ASSERT_EQ(all.size(), 509u);
  EXPECT_EQ(all[0], 0xF9);
  EXPECT_EQ(Bytes(all.begin() + 1, all.begin() + 9),
            (Bytes{0xFE, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFE, 0xFE}));
  for (int i = 1; i <= 250; ++i) {
    ASSERT_TRUE(all[i] == 0xFE || all[i] == 0xFF) << "host bit " << i;
  }
  for (int i = 251; i < 509; ++i) ASSERT_EQ(all[i], 0xF9) << "clock " << i;

  // No chip: the first echo bit times out and nothing else is shown.
  EXPECT_EQ(w.output.Lines(), (std::vector<std::string>{"Time Out"}));
}

TEST(WireEncoding, HandshakeReseedsTheLfsrEveryTime) {
  Wire w;
  for (int i = 0; i < 7; ++i) w.protocol.LfsrNext();
  w.protocol.Handshake();
  Bytes first = w.port.Written();
  w.port.writes.clear();
  w.protocol.Handshake();
  EXPECT_EQ(w.port.Written(), first);
  EXPECT_EQ(first[1], 0xFE);
  EXPECT_EQ(first[2], 0xFF);
}

}  // namespace
}  // namespace kestrix
