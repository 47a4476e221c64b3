#pragma once

#include <cstdint>

#include "core/Clock.h"
#include "core/Host.h"

namespace kestrix {

// A clock whose waits keep the window painting: the desktop's pending events
// are pumped before and after each wait, so a logo or a status line drawn
// just before a wait is seen during it. The waits themselves stay whole (the
// protocol's timing is made of them). The program is busy meanwhile, so
// input pumped here is consumed without effect.
class PumpingClock : public Clock {
 public:
  PumpingClock(Clock& clock, Host& host) : clock_(clock), host_(host) {}

  LocalDateTime Now() override { return clock_.Now(); }
  std::int64_t MonotonicMs() override { return clock_.MonotonicMs(); }
  void SleepMs(int ms) override;

 private:
  Clock& clock_;
  Host& host_;
};

}  // namespace kestrix
