#include "terminal/DeviceRequests.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace kestrix {

namespace {

constexpr int kClockSelector = 2;
constexpr int kTimeSelector = 4;
constexpr int kDateSelector = 6;
constexpr int kFirstBlockSelector = 255;

// Days from 1970-01-01 to the given civil date (proleptic Gregorian).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void WriteText(BytePort& port, const std::string& text) {
  WriteRaw(port, reinterpret_cast<const std::uint8_t*>(text.data()),
           static_cast<int>(text.size()));
}

}  // namespace

std::int64_t ClockSeconds(const LocalDateTime& t) {
  return DaysFromCivil(t.year, static_cast<unsigned>(t.month),
                       static_cast<unsigned>(t.day)) *
             86400 +
         t.hour * 3600 + t.minute * 60 + t.second;
}

std::string TimeAnswer(const LocalDateTime& t) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d\r", t.hour, t.minute,
                t.second);
  return buf;
}

std::string DateAnswer(const LocalDateTime& t) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d.%02d %04d\r", t.month, t.day, t.year);
  return buf;
}

std::optional<FileBlock> ReadFileBlock(const std::string& path,
                                       std::int64_t blockNumber) {
  if (path.empty()) return std::nullopt;
  // Only a regular file has blocks: opening a FIFO would wait for a writer,
  // and a folder opens but reads nothing.
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return std::nullopt;
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  FileBlock block;
  // A block before the start of the file (selector 255 with a small Y8) has
  // no bytes of the file: it reads as zeros, like one past the end, so the
  // device still gets the 516 bytes it waits for.
  const std::int64_t offset = blockNumber * kBlockSize;
  if (offset >= 0 && file.seekg(offset)) {
    file.read(reinterpret_cast<char*>(block.data.data()), kBlockSize);
  }
  // Zeros after a failed read would look like data with a valid checksum;
  // silence lets the device's time-out tell it the block is not there.
  if (file.bad()) return std::nullopt;
  for (std::uint8_t b : block.data) {
    block.checksum += static_cast<std::int8_t>(b);
  }
  return block;
}

std::int64_t RequestedBlock(const GraphicsCommand& cmd) {
  const int selector = cmd.X();
  return static_cast<std::int64_t>(selector - 256) * 128 + cmd.Y8;
}

bool AnswerImmediateRequest(const GraphicsCommand& cmd, RequestContext& ctx) {
  const int selector = cmd.X();
  std::string reply;
  if (selector == kClockSelector) {
    reply = std::to_string(ClockSeconds(ctx.clock.Now())) + "\r";
  } else if (selector == kTimeSelector) {
    reply = TimeAnswer(ctx.clock.Now());
  } else if (selector == kDateSelector) {
    reply = DateAnswer(ctx.clock.Now());
  }
  if (!reply.empty()) WriteText(ctx.port, reply);
  if (selector < kFirstBlockSelector) return false;

  std::optional<FileBlock> block =
      ReadFileBlock(ctx.preparedFile, RequestedBlock(cmd));
  if (!block) return false;  // the device's own time-out handles it
  auto& out = ctx.blocks.OutBlock;
  std::copy(block->data.begin(), block->data.end(), out.begin());
  WriteRaw(ctx.port, out.data(), kBlockSize);
  ctx.blocks.PutLong(static_cast<std::uint32_t>(block->checksum));
  WriteRaw(ctx.port, out.data(), 4);
  return true;
}

bool LetteredRequestMatches(const GraphicsCommand& cmd,
                            std::size_t screenTextLength) {
  return static_cast<std::size_t>(cmd.X()) == 2 * screenTextLength;
}

}  // namespace kestrix
