#include "loader/PortSearch.h"

#include <string>

#include "loader/PulseReset.h"

namespace kestrix {

namespace {

// The boot handshake's bytes, as the boot protocol sends them.
constexpr std::uint8_t kCalibrationByte = 0xF9;
constexpr std::uint8_t kClockByte = 0xF9;
constexpr std::uint8_t kBitZero = 0xFE;
constexpr std::uint8_t kBitOne = 0xFF;
constexpr int kLfsrSeed = 0x50;
constexpr int kHostBits = 250;
constexpr int kEchoBits = 250;
constexpr int kVersionBits = 8;

// The search waits less per bit than an upload: a chip that is there answers
// at once, and most ports probed have none.
constexpr int kProbeBudgetMs = 50;
constexpr int kClockWaitMs = 25;
constexpr int kPollWaitMs = 10;

constexpr int kSearchBaudIndex = 0;  // 115200 baud

// The chip's LFSR: returns the low bit and steps the state.
int LfsrNext(int& state) {
  const int bit = state & 1;
  state = ((state << 1) & 0xFE) |
          (((state >> 7) ^ (state >> 5) ^ (state >> 4) ^ (state >> 1)) & 1);
  return bit;
}

}  // namespace

int ProbeBit(BytePort& port, Clock& clock, SharedBlocks& blocks, int withClock,
             int budgetMs) {
  std::uint8_t* const out = blocks.OutBlock.data();
  while (budgetMs > 0) {
    if (withClock != 0) {
      out[0] = kClockByte;
      WriteRaw(port, out, 1);
      clock.SleepMs(kClockWaitMs);
    }
    if (ReadRaw(port, out, 1) == 1) {
      if (out[0] == kBitZero || out[0] == kBitOne) return out[0] & 1;
    }
    clock.SleepMs(kPollWaitMs);
    budgetMs -= kPollWaitMs;
  }
  return -1;
}

int DetectPropeller(BytePort& port, Clock& clock, SharedBlocks& blocks,
                    int useRts) {
  PulseReset(port, clock, useRts);
  int lfsr = kLfsrSeed;
  std::uint8_t* const out = blocks.OutBlock.data();

  out[0] = kCalibrationByte;
  for (int i = 1; i <= kHostBits; ++i) {
    out[i] = static_cast<std::uint8_t>(kBitZero | LfsrNext(lfsr));
  }
  WriteRaw(port, out, kHostBits + 1);
  // Clocks for the echo and the version, all in advance.
  for (int i = 0; i < kEchoBits + kVersionBits; ++i) out[i] = kClockByte;
  WriteRaw(port, out, kEchoBits + kVersionBits);

  for (int i = 0; i < kEchoBits; ++i) {
    if (ProbeBit(port, clock, blocks, 0, kProbeBudgetMs) != LfsrNext(lfsr)) {
      return -1;
    }
  }
  // Least significant bit first; a missing bit (-1) makes the result
  // negative. Multiplying keeps the negative case well defined.
  int version = 0;
  for (int i = 0; i < kVersionBits; ++i) {
    version = (version >> 1) |
              (ProbeBit(port, clock, blocks, 0, kProbeBudgetMs) * 128);
  }
  return version;
}

void ScanPorts(SerialLine& port, Clock& clock, SharedBlocks& blocks,
               Settings& settings) {
  for (int n = kFirstSearchedPort; n <= kLastSearchedPort; ++n) {
    if (!port.OpenPort(std::to_string(n), kSearchBaudIndex, settings.FT232R)) {
      continue;
    }
    const bool found =
        DetectPropeller(port, clock, blocks, settings.UseRTS) > 0;
    port.ClosePort();
    if (found) {
      settings.ComNr = n;
      return;
    }
  }
}

}  // namespace kestrix
