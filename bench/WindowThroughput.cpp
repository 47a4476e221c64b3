// How fast the real window takes in a backlog: the program's own objects on
// the offscreen platform, a pseudo-terminal linked as COM6 as the port. Each
// stream is written as fast as the program reads it, followed by a clock
// request; the stream counts as taken in when the answer (digits and CR)
// arrives. Also reports resident memory idle, at its peak during the
// streams and one second after them.
//
//   WindowThroughput [MiB per stream]   (default 4)
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "WindowRig.h"

namespace {

using kestrix::bench::ResidentKb;
using kestrix::bench::Settle;
using Clock = std::chrono::steady_clock;

// The immediate request for the PC's clock; its answer ends in CR.
constexpr std::uint8_t kClockRequest[] = {5, 0x81, 1, 0};

std::vector<std::uint8_t> WrappingText(std::size_t size) {
  std::vector<std::uint8_t> text(size);
  for (std::size_t i = 0; i < size; ++i) {
    text[i] = static_cast<std::uint8_t>('!' + i % 94);
  }
  return text;
}

// 78 printable characters, CR, LF.
std::vector<std::uint8_t> Lines(std::size_t size) {
  std::vector<std::uint8_t> lines;
  lines.reserve(size);
  for (std::size_t line = 0; lines.size() + 80 <= size; ++line) {
    for (int i = 0; i < 78; ++i) {
      lines.push_back(static_cast<std::uint8_t>('!' + (line + i) % 94));
    }
    lines.push_back('\r');
    lines.push_back('\n');
  }
  return lines;
}

// Writes everything to the non-blocking master, waiting while it is full.
bool WriteAll(int fd, const std::uint8_t* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n > 0) {
      data += n;
      size -= static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno != EAGAIN) return false;
    pollfd wait{fd, POLLOUT, 0};
    ::poll(&wait, 1, 100);
  }
  return true;
}

struct Figures {
  double seconds = 0;
  long peakKb = 0;
  bool answered = false;
};

// Streams `bytes` and the clock request into the master while the window's
// event loop runs on this thread; returns when the answer's CR came back.
Figures Run(int master, const std::vector<std::uint8_t>& bytes) {
  std::atomic<bool> done{false};
  std::atomic<bool> answered{false};
  const auto start = Clock::now();
  Clock::time_point end = start;
  std::thread device([&] {
    if (WriteAll(master, bytes.data(), bytes.size()) &&
        WriteAll(master, kClockRequest, sizeof kClockRequest)) {
      char in[256];
      const auto limit = Clock::now() + std::chrono::seconds(600);
      while (!answered && Clock::now() < limit) {
        pollfd wait{master, POLLIN, 0};
        if (::poll(&wait, 1, 50) <= 0) continue;
        const ssize_t n = ::read(master, in, sizeof in);
        if (n > 0 && std::memchr(in, '\r', static_cast<std::size_t>(n))) {
          end = Clock::now();
          answered = true;
        }
      }
    }
    done = true;
  });
  Figures figures;
  auto nextSample = Clock::now();
  // As the program's own loop does: sleep until an event comes (the 40 ms
  // timer at the latest).
  while (!done) {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (Clock::now() >= nextSample) {
      figures.peakKb = std::max(figures.peakKb, ResidentKb());
      nextSample += std::chrono::milliseconds(20);
    }
  }
  device.join();
  figures.seconds = std::chrono::duration<double>(end - start).count();
  figures.answered = answered;
  return figures;
}

}  // namespace

int main(int argc, char** argv) {
  const double mib = argc > 1 ? std::max(0.01, std::atof(argv[1])) : 4.0;
  const auto size = static_cast<std::size_t>(mib * 1024 * 1024);
  kestrix::bench::WindowBench bench(argv);
  if (!bench.Ready()) return 1;
  const int master = bench.master();

  const struct {
    const char* name;
    std::vector<std::uint8_t> bytes;
  } streams[] = {{"wrapping text", WrappingText(size)},
                 {"80-character lines", Lines(size)}};
  // Idle with the streams already made, so they do not count as growth.
  Settle(0.5);
  const long idleKb = ResidentKb();
  int status = 0;
  for (const auto& stream : streams) {
    const Figures f = Run(master, stream.bytes);
    Settle(1.0);
    const double mbs =
        static_cast<double>(stream.bytes.size()) / 1e6 / f.seconds;
    std::printf(
        "%-20s %.2f MiB in %.3f s: %.2f MB/s%s; resident %ld kB idle, "
        "%ld kB peak, %ld kB after\n",
        stream.name, static_cast<double>(stream.bytes.size()) / 1048576.0,
        f.seconds, mbs, f.answered ? "" : " (no answer)", idleKb, f.peakKb,
        ResidentKb());
    if (!f.answered) status = 1;
  }
  return status;
}
