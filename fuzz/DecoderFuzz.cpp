// The decoder on ordinary grids, up to 100 x 40 cells, most of them small
// (every clear, scroll and fill is as large as the picture), so that many
// inputs a second get through the chunking oracle.
#include "DecoderFuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  if (size < 4) return 0;
  // Bytes 1 and 2 from 224 up give the larger grids.
  const int cols = 1 + data[1] % (data[1] >= 224 ? 100 : 12);
  const int rows = 1 + data[2] % (data[2] >= 224 ? 40 : 5);
  return kestrix::fuzz::FuzzDecoder(data, size, cols, rows);
}
