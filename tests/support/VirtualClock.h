#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "core/Clock.h"

namespace kestrix::test {

// A clock whose sleeps advance virtual time at once and are recorded.
class VirtualClock : public Clock {
 public:
  LocalDateTime now;
  std::int64_t monotonicMs = 0;
  std::vector<int> sleeps;
  // Optional hook run on every sleep, after time has advanced (lets a
  // simulated device act "meanwhile").
  std::function<void(int)> onSleep;

  LocalDateTime Now() override { return now; }
  void SleepMs(int ms) override {
    sleeps.push_back(ms);
    monotonicMs += ms;
    if (onSleep) onSleep(ms);
  }
  std::int64_t MonotonicMs() override { return monotonicMs; }

  std::int64_t TotalSleptMs() const {
    std::int64_t t = 0;
    for (int s : sleeps) t += s;
    return t;
  }
};

}  // namespace kestrix::test
