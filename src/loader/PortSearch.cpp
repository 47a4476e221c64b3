#include "loader/PortSearch.h"

#include <string>

#include "loader/BootWire.h"
#include "loader/PulseReset.h"

namespace kestrix {

namespace {

using boot::kBitOne;
using boot::kBitZero;
using boot::kCalibrationByte;
using boot::kClockByte;
using boot::kEchoBits;
using boot::kHostBits;
using boot::kLfsrSeed;
using boot::kVersionBits;
using boot::LfsrNext;

// The search waits less per bit than an upload: a chip that is there answers
// at once, and most ports probed have none.
constexpr int kProbeBudgetMs = 50;
constexpr int kClockWaitMs = 25;
constexpr int kPollWaitMs = 10;

constexpr int kSearchBaudIndex = 0;  // 115200 baud

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
