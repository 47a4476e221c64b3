// The decoder on small grids, up to 24 x 8 cells, whose picture (under
// 128 KB) the sanitizer's allocator recycles from memory already in use;
// DecoderGridFuzz takes the ordinary and the largest windows. So many inputs
// a second get through the chunking oracle.
#include "DecoderFuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  if (size < 4) return 0;
  // A larger picture costs about fifty small ones, mostly page faults on
  // fresh memory: with even 3 % of them this target ran 400-800 inputs a
  // second instead of over 3,000.
  const int cols = 1 + data[1] % 24;
  const int rows = 1 + data[2] % 8;
  return kestrix::fuzz::FuzzDecoder(data, size, cols, rows);
}
