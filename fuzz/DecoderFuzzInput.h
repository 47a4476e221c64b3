#pragma once

// The stream decoder on arbitrary device bytes, decoded in a chunking the
// input picks (a quarter of them in full chunks) and in single bytes; the
// two must agree as the chunking oracle says. Byte 0 picks the mode, the
// text cursor, the strip and CR with Auto-LF; bytes 1 and 2 the grid; byte 3
// the chunking; the rest is the stream.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>

#include "support/ChunkingOracle.h"
#include "support/TempFolder.h"
#include "terminal/EngineHarness.h"

// A quarantine of 16 MB still holds many inputs' worth of freed blocks for
// the use-after-free check; the default 256 MB kept recycling cold memory,
// and the page faults cost a third of the run.
extern "C" const char* __asan_default_options() {
  return "quarantine_size_mb=16";
}

namespace kestrix::fuzz {

// Chunk sizes from a seed: full chunks, or a mix of short ones and ones up
// to the chunk limit.
class ChunkSizes {
 public:
  explicit ChunkSizes(std::uint32_t seed)
      : whole_(seed % 4 == 0), state_(seed * 2654435761u + 1) {}
  int operator()() {
    if (whole_) return SharedBlocks::kMaxChunk;
    state_ = state_ * 1103515245u + 12345u;
    const std::uint32_t r = state_ >> 8;
    switch (r % 4) {
      case 0:
        return 1 + static_cast<int>(r / 4 % 4);
      case 1:
        return 1 + static_cast<int>(r / 4 % 64);
      case 2:
        return 1 + static_cast<int>(r / 4 % SharedBlocks::kMaxChunk);
      default:
        return SharedBlocks::kMaxChunk;
    }
  }

 private:
  bool whole_;
  std::uint32_t state_;
};

inline int FuzzDecoder(const std::uint8_t* data, std::size_t size, int cols,
                       int rows) {
  static const Raster sheet = test::MakeTestSheet();
  // A prepared file of 700 bytes for the block reads: one full block, one
  // partly past the end.
  static const test::TempFolder folder;
  static const std::string prepared = [] {
    std::string bytes(700, '\0');
    for (int i = 0; i < 700; ++i) bytes[i] = static_cast<char>(i * 37);
    return folder.Write("prepared.bin", bytes).string();
  }();
  test::StreamSetup setup;
  setup.deviceMode = (data[0] & 1) != 0;
  setup.cursor = (data[0] & 2) != 0;
  setup.strip = (data[0] & 4) != 0;
  setup.crMode = (data[0] & 8) != 0;
  setup.cols = cols;
  setup.rows = rows;
  setup.preparedFile = prepared;
  // Two engines for all inputs: building one costs more than most inputs.
  static test::StreamRun chunked(sheet), bytewise(sheet);
  const std::string wrong =
      test::CheckChunkings(chunked, bytewise, setup,
                           std::span(data + 4, size - 4), ChunkSizes(data[3]));
  if (!wrong.empty()) {
    std::fprintf(stderr, "chunkings disagree: %s\n", wrong.c_str());
    std::abort();
  }
  return 0;
}

}  // namespace kestrix::fuzz
