#include "loader/PumpingClock.h"

namespace kestrix {

void PumpingClock::SleepMs(int ms) {
  host_.PumpEvents();
  clock_.SleepMs(ms);
  host_.PumpEvents();
}

}  // namespace kestrix
