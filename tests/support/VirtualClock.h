#pragma once

#include <cstdint>
#include <functional>
#include <numeric>
#include <vector>

#include "core/Clock.h"

namespace kestrix::test {

// A clock whose sleeps advance virtual time at once and are recorded.
class VirtualClock : public Clock {
 public:
  LocalDateTime now;
  std::int64_t monotonicMs = 0;
  std::vector<int> sleeps;
  std::function<void(int)> onSleep;  // after time advanced: a device acts

  LocalDateTime Now() override { return now; }
  void SleepMs(int ms) override {
    sleeps.push_back(ms);
    monotonicMs += ms;
    if (onSleep) onSleep(ms);
  }
  std::int64_t MonotonicMs() override { return monotonicMs; }

  std::int64_t TotalSleptMs() const {
    return std::accumulate(sleeps.begin(), sleeps.end(), std::int64_t{0});
  }
};

}  // namespace kestrix::test
