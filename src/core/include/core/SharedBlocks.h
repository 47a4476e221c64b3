#pragma once

#include <array>
#include <cstddef>
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

  // Puts `value` into the first four bytes of the out block, least
  // significant byte first, as every number the PC sends the device goes.
  void PutLong(std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) {
      OutBlock[i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
  }
};

}  // namespace kestrix
