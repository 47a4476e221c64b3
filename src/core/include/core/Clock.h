#pragma once

#include <cstdint>

namespace kestrix {

// A local calendar date and time as the PC's clock shows it.
struct LocalDateTime {
  int year = 1970;
  int month = 1;  // 1..12
  int day = 1;    // 1..31
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// Time as the engine sees it: the wall clock for the device's clock requests
// and a sleeper for protocol waits. Tests use a virtual clock whose sleeps
// cost no real time.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalDateTime Now() = 0;
  virtual void SleepMs(int ms) = 0;
  // Milliseconds on a monotonic scale, for measuring elapsed time.
  virtual std::int64_t MonotonicMs() = 0;
};

// Time that passes only when slept, and at once: sleeps cost no real time.
// The clock of the benchmarks and fuzz targets.
class StillClock : public Clock {
 public:
  LocalDateTime Now() override { return {}; }
  void SleepMs(int ms) override { ms_ += ms; }
  std::int64_t MonotonicMs() override { return ms_; }

 private:
  std::int64_t ms_ = 0;
};

}  // namespace kestrix
