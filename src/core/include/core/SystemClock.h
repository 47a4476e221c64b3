#pragma once

#include "core/Clock.h"

namespace kestrix {

// The PC's own clock: local wall time, real sleeps on the calling thread.
class SystemClock : public Clock {
 public:
  LocalDateTime Now() override;
  void SleepMs(int ms) override;
  std::int64_t MonotonicMs() override;
};

}  // namespace kestrix
