#include "loader/PulseReset.h"

namespace kestrix {

namespace {
constexpr int kResetAssertMs = 25;
// The chip's boot ROM needs this long after reset before it listens.
constexpr int kResetSettleMs = 100;
}  // namespace

void PulseReset(BytePort& port, Clock& clock, bool useRts) {
  if (useRts) {
    port.SetRts(true);
    clock.SleepMs(kResetAssertMs);
    port.SetRts(false);
  } else {
    port.SetDtr(true);
    clock.SleepMs(kResetAssertMs);
    port.SetDtr(false);
  }
  clock.SleepMs(kResetSettleMs);
  // Drop the noise a board makes while it resets; only the receive side.
  port.PurgeReceive();
}

}  // namespace kestrix
