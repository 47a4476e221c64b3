#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "core/BytePort.h"
#include "core/Clock.h"
#include "core/SharedBlocks.h"
#include "terminal/Graphics.h"

namespace kestrix {

// Seconds from 1970-01-01 00:00:00 to the given local date and time, both
// read as if they were UTC: the device wants the wall clock, not an epoch.
std::int64_t ClockSeconds(const LocalDateTime& t);
// "hh:ii:ss" and "mm.dd yyyy", each followed by CR.
std::string TimeAnswer(const LocalDateTime& t);
std::string DateAnswer(const LocalDateTime& t);

inline constexpr int kBlockSize = 512;

// One 512-byte block of a file with the sum of its bytes taken as signed
// 8-bit values. Bytes past the end of the file (or before its start) are 0.
struct FileBlock {
  std::array<std::uint8_t, kBlockSize> data{};
  std::int32_t checksum = 0;
};
// Empty when the file cannot be opened.
std::optional<FileBlock> ReadFileBlock(const std::string& path,
                                       std::int64_t blockNumber);

// The block a read request asks for: selector s = X8 * 2 + bit 5 of K, block
// (s - 256) * 128 + Y8. Selector 255 gives negative numbers for Y8 < 128.
std::int64_t RequestedBlock(const GraphicsCommand& cmd);

// What an immediate request needs from the program.
struct RequestContext {
  BytePort& port;
  Clock& clock;
  SharedBlocks& blocks;
  const std::string& preparedFile;
};

// Answers clock (X8 1), time (2), date (3) and block reads (selector >= 255)
// on the port at once. Other selectors get no answer. Returns true when a
// file block was sent: mouse reports were held back meanwhile (nothing can
// interleave on one thread) and the caller restores them.
bool AnswerImmediateRequest(const GraphicsCommand& cmd, RequestContext& ctx);

// A lettered request is taken only when X8 matches the length of the text the
// device printed as its argument (and bit 5 of K is clear).
bool LetteredRequestMatches(const GraphicsCommand& cmd,
                            std::size_t screenTextLength);

}  // namespace kestrix
