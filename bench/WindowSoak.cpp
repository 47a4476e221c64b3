// Endurance: mixed device traffic (text, lines, graphics, clock requests,
// pixel queries) into the real window for a given time, resident memory
// sampled every minute. Fails when memory grows by more than 5 MB over the
// figure after the first minute.
//
//   WindowSoak [minutes]   (default 60; scripts/soak runs it)
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <thread>
#include <vector>

#include "WindowRig.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr long kAllowedGrowthKb = 5 * 1024;

// One burst of device traffic, a few kilobytes of each kind in random order.
std::vector<std::uint8_t> Burst(std::mt19937& random) {
  std::vector<std::uint8_t> out;
  auto pick = [&](int n) { return static_cast<int>(random() % n); };
  for (int part = 0; part < 64; ++part) {
    switch (pick(4)) {
      case 0:  // wrapping text
        for (int i = pick(200); i > 0; --i) {
          out.push_back(static_cast<std::uint8_t>(32 + pick(95)));
        }
        break;
      case 1:  // lines
        for (int line = pick(5); line > 0; --line) {
          for (int i = 0; i < 78; ++i) {
            out.push_back(static_cast<std::uint8_t>(33 + pick(94)));
          }
          out.push_back('\r');
          out.push_back('\n');
        }
        break;
      case 2: {  // drawing, scrolling, pixel queries
        static constexpr int kOps[] = {0, 1, 2, 3,  4,  5,  6,
                                       7, 8, 9, 10, 11, 12, 14};
        for (int i = pick(20); i > 0; --i) {
          out.push_back(5);
          out.push_back(
              static_cast<std::uint8_t>(kOps[pick(14)] | (pick(4) << 4)));
          out.push_back(static_cast<std::uint8_t>(pick(256)));
          out.push_back(static_cast<std::uint8_t>(pick(256)));
        }
        break;
      }
      default:  // clock, time and date
        out.insert(out.end(),
                   {5, 0x81, static_cast<std::uint8_t>(1 + pick(3)), 0});
        break;
    }
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  const double minutes = argc > 1 ? std::atof(argv[1]) : 60.0;
  kestrix::bench::WindowBench bench(argv);
  if (!bench.Ready()) return 1;
  const int master = bench.master();
  std::atomic<bool> stop{false};
  std::atomic<long long> sent{0};
  std::thread device([&] {
    std::mt19937 random(1);
    std::vector<std::uint8_t> in(65536);
    while (!stop) {
      const std::vector<std::uint8_t> burst = Burst(random);
      std::size_t at = 0;
      while (at < burst.size() && !stop) {
        // Answers are read as they come, so the program never waits on a
        // full line.
        while (::read(master, in.data(), in.size()) > 0) {
        }
        const ssize_t n = ::write(master, burst.data() + at, burst.size() - at);
        if (n > 0) {
          at += static_cast<std::size_t>(n);
          sent += n;
        } else {
          pollfd wait{master, POLLOUT | POLLIN, 0};
          ::poll(&wait, 1, 20);
        }
      }
      // About a megabyte a second: steady traffic, not a flood.
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  });

  const auto start = Clock::now();
  long baseKb = -1;
  long worstKb = 0;
  int status = 0;
  for (int minute = 1; minute <= minutes || minute == 1; ++minute) {
    const auto until = start + std::chrono::minutes(minute);
    while (Clock::now() < until) {
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    const long kb = kestrix::bench::ResidentKb();
    if (baseKb < 0) baseKb = kb;
    worstKb = std::max(worstKb, kb);
    std::printf("minute %3d: resident %ld kB (%+ld kB), %.1f MB sent\n", minute,
                kb, kb - baseKb, static_cast<double>(sent) / 1e6);
    std::fflush(stdout);
  }
  stop = true;
  device.join();
  const long growth = worstKb - baseKb;
  std::printf("growth after the first minute: %ld kB (limit %ld kB)\n", growth,
              kAllowedGrowthKb);
  if (growth > kAllowedGrowthKb) status = 1;
  return status;
}
