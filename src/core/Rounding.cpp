#include "core/Rounding.h"

#include <climits>
#include <cmath>

namespace kestrix {

int RoundHalfToEven(double value) {
  if (std::isnan(value)) return 0;
  if (value >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (value <= static_cast<double>(INT_MIN)) return INT_MIN;
  double below = std::floor(value);
  double fraction = value - below;
  double rounded = below;
  if (fraction > 0.5) {
    rounded = below + 1.0;
  } else if (fraction == 0.5) {
    rounded = std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
  }
  return static_cast<int>(rounded);
}

}  // namespace kestrix
