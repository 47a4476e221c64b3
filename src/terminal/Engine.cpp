#include "terminal/Engine.h"

#include <algorithm>

namespace kestrix {

Engine::Engine(const Raster& glyphSheet, BytePort& port, Clock& clock)
    : port_(port),
      decoder_(screen_, glyphSheet, blocks_, port, clock, preparedFile_) {}

ChunkResult Engine::Poll(RequestHandler& handler, int maxBytes) {
  const int n = ReadRaw(port_, blocks_.ReceiveBuffer.data(),
                        std::min(maxBytes, SharedBlocks::kMaxChunk));
  if (n <= 0) return {};
  const ChunkResult result = decoder_.DecodeChunk(n);
  if (result.ServiceRequest > 0) handler.CarryOut(result.ServiceRequest);
  if (result.ReplyByte > 0) {
    blocks_.OutBlock[0] = static_cast<std::uint8_t>(result.ReplyByte & 0xFF);
    WriteRaw(port_, blocks_.OutBlock.data(), 1);
  }
  return result;
}

ChunkResult Engine::Decode(std::span<const std::uint8_t> bytes) {
  const std::size_t n =
      std::min<std::size_t>(bytes.size(), SharedBlocks::kMaxChunk);
  std::copy_n(bytes.begin(), n, blocks_.ReceiveBuffer.begin());
  return decoder_.DecodeChunk(static_cast<int>(n));
}

void Engine::PrintText(std::string_view text) {
  if (!HasWindow()) {
    if (console_ != nullptr) console_->WriteLine(std::string(text));
    return;
  }
  decoder_.DecodeOwnText(text);
}

void Engine::PrintLine(std::string_view text) {
  std::string line(text);
  line.push_back('\r');
  PrintText(line);
  const std::string_view lineFeed = LineFeed();
  if (!lineFeed.empty()) PrintText(lineFeed);
}

std::string_view Engine::LineFeed() const {
  return options().NormalTerminalFlag ? "\n" : "";
}

void Engine::ClearScreen() {
  if (!HasWindow()) return;
  decoder_.DecodeOwnText(std::string_view("\0", 1));
}

}  // namespace kestrix
