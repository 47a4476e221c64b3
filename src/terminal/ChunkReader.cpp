#include "terminal/ChunkReader.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace kestrix {

ChunkReader::ChunkReader(SharedBlocks& blocks, BytePort& port, Clock& clock)
    : blocks_(blocks), port_(port), clock_(clock) {}

bool ChunkReader::Begin(int count) {
  count = std::max(std::min(count, kMaxChunkLength - carry_.count), 0);
  pos_ = 0;
  length_ = 0;
  if (count == 0 && carry_.count == 0) return false;
  auto& buf = blocks_.ReceiveBuffer;
  if (carry_.count > 0) {
    std::memmove(buf.data() + carry_.count, buf.data(),
                 static_cast<std::size_t>(count));
    std::copy_n(carry_.bytes.begin(), carry_.count, buf.begin());
    count += carry_.count;
    carry_.count = 0;
  }
  length_ = count;
  return true;
}

int ChunkReader::NextByte() {
  auto& out = blocks_.OutBlock;
  if (pos_ + 1 < length_) {
    ++pos_;
    out[0] = blocks_.ReceiveBuffer[Index(pos_)];
    return out[0];
  }
  // The rest of the command is still on its way: wait a little for it.
  for (int attempt = 0; attempt < kParameterAttempts; ++attempt) {
    if (ReadRaw(port_, out.data(), 1) == 1) break;
    if (!port_.IsOpen()) break;  // nothing can arrive
    clock_.SleepMs(kParameterWaitMs);
  }
  return out[0];
}

void ChunkReader::CarryRest() {
  std::copy_n(blocks_.ReceiveBuffer.begin() + pos_, kMaxCarry,
              carry_.bytes.begin());
  carry_.count = Remaining();
  length_ = pos_;
}

ChunkReader::Carry ChunkReader::TakeCarry() {
  return std::exchange(carry_, Carry{});
}

}  // namespace kestrix
