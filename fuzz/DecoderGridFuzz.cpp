// The decoder on the grids too large for the quick target: most inputs on an
// ordinary window of up to 100 x 40 cells, those with byte 0's top two bits on
// (a quarter) up to the largest, 512 x 256. Every clear, scroll and fill is as
// large as the picture, and a picture this size is memory the sanitizer maps
// afresh for each input, so this target is slow by nature.
#include "DecoderFuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  if (size < 4) return 0;
  const bool largest = (data[0] & 0xC0) == 0xC0;
  const int cols =
      largest ? 1 + (data[1] << 1 | (data[0] >> 5 & 1)) : 1 + data[1] % 100;
  const int rows = largest ? 1 + data[2] : 1 + data[2] % 40;
  return kestrix::fuzz::FuzzDecoder(data, size, cols, rows);
}
