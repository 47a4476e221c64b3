#include "loader/PumpingClock.h"

#include <algorithm>

namespace kestrix {

void PumpingClock::SleepMs(int ms) {
  host_.PumpEvents();
  while (ms > 0) {
    const int slice = std::min(ms, kSliceMs);
    clock_.SleepMs(slice);
    ms -= slice;
    host_.PumpEvents();
  }
}

}  // namespace kestrix
