#include "loader/PortSearch.h"

#include <algorithm>
#include <string>

#include "loader/BootWire.h"
#include "loader/Handshake.h"
#include "loader/PulseReset.h"
#include "loader/PumpingClock.h"

namespace kestrix {

namespace {

using boot::kClockByte;
using boot::kEchoBits;
using boot::kHostBits;
using boot::kVersionBits;

// The search waits less per bit than an upload: a chip that is there answers
// at once, and most ports probed have none.
constexpr int kProbeBudgetMs = 50;
constexpr int kClockWaitMs = 25;
constexpr int kPollWaitMs = 10;

constexpr int kSearchBaudIndex = 0;  // 115200 baud

}  // namespace

int ProbeBit(const TransferContext& context, bool withClock, int budgetMs) {
  std::uint8_t* const out = context.blocks.OutBlock.data();
  while (budgetMs > 0) {
    if (withClock) {
      out[0] = kClockByte;
      WriteRaw(context.port, out, 1);
      context.clock.SleepMs(kClockWaitMs);
    }
    if (ReadRaw(context.port, out, 1) == 1) {
      if (out[0] == boot::kBitZero || out[0] == boot::kBitOne) {
        return out[0] & 1;
      }
    }
    context.clock.SleepMs(kPollWaitMs);
    budgetMs -= kPollWaitMs;
  }
  return -1;
}

int DetectPropeller(const TransferContext& context, bool useRts) {
  PulseReset(context.port, context.clock, useRts);
  std::uint8_t* const out = context.blocks.OutBlock.data();
  const auto hostBytes = boot::HostBytes();
  std::copy(hostBytes.begin(), hostBytes.end(), out);
  WriteRaw(context.port, out, kHostBits + 1);
  // Clocks for the echo and the version, all in advance.
  for (int i = 0; i < kEchoBits + kVersionBits; ++i) out[i] = kClockByte;
  WriteRaw(context.port, out, kEchoBits + kVersionBits);
  const boot::ChipAnswer answer = boot::ReadChipAnswer(
      [&context](int budgetMs) { return ProbeBit(context, false, budgetMs); },
      kProbeBudgetMs, kProbeBudgetMs);
  return answer.echoed ? answer.version : -1;
}

int ScanPorts(SerialLine& line, const TransferContext& context, bool ft232r,
              bool useRts) {
  PumpingClock clock(context.clock, context.host);
  const TransferContext pumping{context.port, clock, context.output,
                                context.host, context.blocks};
  for (int n = kFirstSearchedPort; n <= kLastSearchedPort; ++n) {
    if (!line.OpenPort(std::to_string(n), kSearchBaudIndex, ft232r)) continue;
    const bool found = DetectPropeller(pumping, useRts) > 0;
    line.ClosePort();
    if (found) return n;
  }
  return 0;
}

}  // namespace kestrix
