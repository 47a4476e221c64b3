#pragma once

namespace kestrix {

// Sizes and positions computed in floating point: the nearest integer,
// halves to the even neighbour (637.5 gives 638, 658.5 gives 658). NaN gives
// 0; values beyond the int range saturate.
int RoundHalfToEven(double value);

}  // namespace kestrix
