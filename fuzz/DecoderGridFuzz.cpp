// The decoder on every grid up to the largest, 512 x 256 cells, where every
// scroll and fill is as large as the picture: slow, so a target of its own.
#include "DecoderFuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  if (size < 4) return 0;
  const int cols = 1 + ((data[1] << 1 | data[0] >> 7) & 511);
  return kestrix::fuzz::FuzzDecoder(data, size, cols, 1 + data[2]);
}
