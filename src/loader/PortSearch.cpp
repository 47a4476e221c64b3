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

int ProbeBit(const LoaderContext& context, int withClock, int budgetMs) {
  std::uint8_t* const out = context.blocks.OutBlock.data();
  while (budgetMs > 0) {
    if (withClock != 0) {
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

int DetectPropeller(const LoaderContext& context, bool useRts) {
  PulseReset(context.port, context.clock, useRts);
  std::uint8_t* const out = context.blocks.OutBlock.data();
  const auto hostBytes = boot::HostBytes();
  std::copy(hostBytes.begin(), hostBytes.end(), out);
  WriteRaw(context.port, out, kHostBits + 1);
  // Clocks for the echo and the version, all in advance.
  for (int i = 0; i < kEchoBits + kVersionBits; ++i) out[i] = kClockByte;
  WriteRaw(context.port, out, kEchoBits + kVersionBits);
  const boot::ChipAnswer answer = boot::ReadChipAnswer(
      [&context](int budgetMs) { return ProbeBit(context, 0, budgetMs); },
      kProbeBudgetMs, kProbeBudgetMs);
  return answer.Echoed ? answer.Version : -1;
}

void ScanPorts(SerialLine& line, const LoaderContext& context,
               Settings& settings) {
  PumpingClock clock(context.clock, context.host);
  const LoaderContext pumping{context.port, clock, context.output, context.host,
                              context.blocks};
  for (int n = kFirstSearchedPort; n <= kLastSearchedPort; ++n) {
    if (!line.OpenPort(std::to_string(n), kSearchBaudIndex, settings.FT232R)) {
      continue;
    }
    const bool found = DetectPropeller(pumping, settings.UseRTS) > 0;
    line.ClosePort();
    if (found) {
      settings.ComNr = n;
      return;
    }
  }
}

}  // namespace kestrix
