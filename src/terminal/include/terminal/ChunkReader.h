#pragma once

#include <array>
#include <cstdint>

#include "core/BytePort.h"
#include "core/Clock.h"
#include "core/SharedBlocks.h"

namespace kestrix {

// The device's bytes as the decoder reads them: one chunk in the receive
// buffer, preceded by the start of a command the previous chunk cut off, and
// parameter bytes that may still be on their way.
class ChunkReader {
 public:
  // A cut-off command is at most the escape code and two of its parameters.
  static constexpr int kMaxCarry = 3;
  // Carrying copies the two bytes behind the code even when the chunk ended
  // before them; they must still lie inside the buffer.
  static constexpr int kCarryPeek = kMaxCarry - 1;
  // The longest chunk the receive buffer takes with a carry in front.
  static constexpr int kMaxChunkLength =
      SharedBlocks::kReceiveBufferSize - kMaxCarry - kCarryPeek;
  // A parameter missing from the chunk is read from the port: this many
  // attempts, this far apart.
  static constexpr int kParameterAttempts = 40;
  static constexpr int kParameterWaitMs = 2;

  // A carry taken aside while the program prints its own text.
  struct Carry {
    std::array<std::uint8_t, kMaxCarry> bytes{};
    int count = 0;
  };

  ChunkReader(SharedBlocks& blocks, BytePort& port, Clock& clock);

  // Starts a chunk of `count` bytes at the start of the receive buffer
  // (clipped to kMaxChunkLength with the carry), moving the carry in front of
  // them. False when there is nothing to read at all.
  bool Begin(int count);
  bool AtEnd() const { return pos_ >= length_; }
  int Current() const { return blocks_.ReceiveBuffer[Index(pos_)]; }
  // Bytes from the current one to the end of the chunk.
  int Remaining() const { return length_ - pos_; }
  void Advance() { ++pos_; }

  // The next parameter byte. When the chunk has no more, it is read from the
  // port; on a time-out the stale first byte of the out block is returned,
  // which is what the device has always got.
  int NextByte();

  // Keeps the rest of the chunk, from the current byte, for the front of the
  // next one and ends this chunk.
  void CarryRest();
  // Takes the carry out (leaving none) and puts it back.
  Carry TakeCarry();
  void RestoreCarry(const Carry& carry) { carry_ = carry; }

 private:
  static std::size_t Index(int i) { return static_cast<std::size_t>(i); }

  SharedBlocks& blocks_;
  BytePort& port_;
  Clock& clock_;
  Carry carry_;
  int pos_ = 0;
  int length_ = 0;
};

}  // namespace kestrix
