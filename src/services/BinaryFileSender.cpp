#include "services/BinaryFileSender.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <system_error>

#include "loader/EventPacer.h"
#include "loader/RegularFile.h"

namespace kestrix {
namespace {

constexpr int kBlockBytes = 16;
// The go-ahead wait: rounds of one poll and a 10 ms pause; bytes that only
// arrive in the last round count as too late.
constexpr int kWaitRounds = 200;
constexpr int kWaitPauseMs = 10;
constexpr int kStartProgress = 50;

enum class GoAhead { kReceived, kTimedOut, kPortLost };

// Shows the progress bar for the transfer and hides it on every exit.
class ProgressShown {
 public:
  explicit ProgressShown(Host& host) : host_(host) {}
  ~ProgressShown() { host_.ShowProgress(false); }
  ProgressShown(const ProgressShown&) = delete;
  ProgressShown& operator=(const ProgressShown&) = delete;

 private:
  Host& host_;
};

// A device usually answers within a fraction of a millisecond, a USB
// adapter within a few; a whole 10 ms pause per 16-byte block would cap a
// transfer near 1.6 KB/s. So the first round polls for about a millisecond,
// and every round's pause is slept in 1 ms steps with a poll after each
// step but the last, so the next round still starts 10 ms after the last.
constexpr std::int64_t kQuickAnswerMs = 1;
constexpr int kQuickPolls = 256;
constexpr int kStepMs = 1;

// Bytes read (> 0), 0 for none, -1 when the port is gone.
int Poll(const TransferContext& context) {
  if (!context.port.IsOpen()) return -1;
  return context.port.Read(context.blocks.ReceiveBuffer.data(),
                           SharedBlocks::kMaxChunk);
}

GoAhead WaitForGoAhead(const TransferContext& context, EventPacer& pacer) {
  for (int round = 1; round <= kWaitRounds; ++round) {
    // Right after a block only a paced pump: a quick device answers sooner
    // than the desktop's event pass takes.
    if (round == 1) {
      pacer.Tick();
    } else {
      pacer.Pump();
    }
    int got = Poll(context);
    const std::int64_t start = context.clock.MonotonicMs();
    for (int poll = 0; round == 1 && got == 0 && poll < kQuickPolls &&
                       context.clock.MonotonicMs() - start <= kQuickAnswerMs;
         ++poll) {
      got = Poll(context);
    }
    for (int slept = 0; got == 0 && slept < kWaitPauseMs; slept += kStepMs) {
      context.clock.SleepMs(kStepMs);
      if (slept + kStepMs < kWaitPauseMs) got = Poll(context);
    }
    if (got < 0) return GoAhead::kPortLost;
    if (got > 0) {
      return round < kWaitRounds ? GoAhead::kReceived : GoAhead::kTimedOut;
    }
  }
  return GoAhead::kTimedOut;
}

bool WriteAll(const TransferContext& context, int count) {
  return context.port.IsOpen() &&
         context.port.Write(context.blocks.OutBlock.data(), count) == count;
}

}  // namespace

void SendBinaryFile(std::string name, const std::string& binPath,
                    const TransferContext& context) {
  if (name == "*.*") {
    name = context.host
               .OpenFile("Download Binary", binPath + "*.binary",
                         "Propeller(.binary)|*.binary|All Files|*.*", 0)
               .path;
  }
  ProgressShown progress(context.host);
  context.port.PurgeReceive();
  const std::filesystem::path path(name);
  if (name.empty() || !IsRegularFile(path)) return;
  std::error_code error;
  const std::uintmax_t fileSize = std::filesystem::file_size(path, error);
  if (error) return;
  if (fileSize > kMaxTransferBytes) {
    // The device reads a 4-byte length; a wrong length would desynchronise
    // it, so nothing is sent at all.
    context.output.PrintLine("File too large for the device: " + name);
    return;
  }
  std::ifstream file(path, std::ios::binary);
  if (!file) return;

  context.host.SetProgress(kStartProgress);
  context.host.ShowProgress(true);

  const auto size = static_cast<std::uint32_t>(fileSize);
  context.blocks.PutLong(size);
  // Whatever the device sent before it was told the length is stale. The
  // purge comes before the length, not after it: a device that answers the
  // length at once would otherwise lose its first go-ahead and time out.
  context.port.PurgeReceive();
  if (!WriteAll(context, 4)) return;

  // The device was told `size` bytes: a file that grows meanwhile sends no
  // more than that, since extra bytes would reach the device's program as
  // input.
  std::uint64_t remaining = size;
  std::uint64_t countSent = 0;
  EventPacer pacer(context.host, context.clock);
  while (remaining > 0) {
    const GoAhead goAhead = WaitForGoAhead(context, pacer);
    if (goAhead == GoAhead::kPortLost) return;
    if (goAhead == GoAhead::kTimedOut) {
      context.output.PrintText("TimeOut Error");
      return;
    }
    const auto want = static_cast<std::streamsize>(
        std::min<std::uint64_t>(kBlockBytes, remaining));
    file.read(reinterpret_cast<char*>(context.blocks.OutBlock.data()), want);
    const auto got = static_cast<int>(file.gcount());
    if (got == 0) break;  // the file shrank: the device times out itself
    remaining -= static_cast<std::uint64_t>(got);
    countSent += kBlockBytes;
    if (!WriteAll(context, got)) return;
    context.host.SetProgress(
        static_cast<int>(std::min<std::uint64_t>(countSent * 100 / size, 100)));
    pacer.Tick();
  }
}

}  // namespace kestrix
