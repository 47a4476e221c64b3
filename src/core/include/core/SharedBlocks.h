#pragma once

#include <array>
#include <cstdint>

namespace kestrix {

// The two blocks every short exchange with the device goes through. They are
// shared on purpose: a parameter byte that never arrives leaves the decoder
// with whatever the out block last held, and the device relies on nothing
// better.
struct SharedBlocks {
  static constexpr int kOutBlockSize = 514;
  static constexpr int kReceiveBufferSize = 4098;
  // Largest single port read into the receive buffer.
  static constexpr int kMaxChunk = 1024;

  std::array<std::uint8_t, kOutBlockSize> OutBlock{};
  std::array<std::uint8_t, kReceiveBufferSize> ReceiveBuffer{};
};

}  // namespace kestrix
