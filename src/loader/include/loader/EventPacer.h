#pragma once

#include <cstdint>

#include "core/Clock.h"
#include "core/Host.h"

namespace kestrix {

// Keeps the window painted during a long send. Pumping the desktop's events
// costs far more than typing one character, so it happens at most once per
// interval of work instead of after every byte.
class EventPacer {
 public:
  static constexpr std::int64_t kIntervalMs = 4;

  EventPacer(Host& host, Clock& clock)
      : host_(host), clock_(clock), last_(clock.MonotonicMs()) {}

  // Pumps when the interval has passed since the last pump.
  void Tick() {
    const std::int64_t now = clock_.MonotonicMs();
    if (now - last_ < kIntervalMs) return;
    last_ = now;
    host_.PumpEvents();
  }
  // Pumps now.
  void Pump() {
    last_ = clock_.MonotonicMs();
    host_.PumpEvents();
  }

 private:
  Host& host_;
  Clock& clock_;
  std::int64_t last_;
};

}  // namespace kestrix
