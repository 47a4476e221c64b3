#pragma once

#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

#include "core/BytePort.h"
#include "sim/WireDevice.h"
#include "support/VirtualClock.h"

namespace kestrix::test {

// Connects the program's writes to a simulated device on a virtual clock.
// What the device answers is still on the wire until the next read, so a
// purge right after a write does not drop it. The port can be unplugged
// after a number of writes: closed, or open with every write failing.
class WirePort : public BytePort {
 public:
  WirePort(sim::WireDevice& device, VirtualClock& clock)
      : device_(device), clock_(clock) {}

  bool open = true;
  int writesLeft = -1;  // unplugged after this many writes (-1: never)
  bool failsOpen = false;
  int writesWhileGone = 0;
  std::vector<std::uint8_t> sent;
  std::function<void(int)> onPurge;  // gets the purge's number, from 1

  // Drops what the device sent before the program reacts (its request).
  void DrainRequest() { Pull(), inbox_.clear(); }

  bool IsOpen() const override { return open; }
  int Write(const std::uint8_t* data, int count) override {
    if (!open || writesLeft == 0) {
      ++writesWhileGone;
      return -1;
    }
    sent.insert(sent.end(), data, data + count);
    device_.OnHostBytes(data, count, clock_.monotonicMs);
    if (writesLeft > 0 && --writesLeft == 0 && !failsOpen) open = false;
    return count;
  }
  int Read(std::uint8_t* data, int max) override {
    if (!open) return -1;
    Pull();
    const int n = std::min<int>(max, static_cast<int>(inbox_.size()));
    std::copy_n(inbox_.begin(), n, data);
    inbox_.erase(inbox_.begin(), inbox_.begin() + n);
    return n;
  }
  void PurgeReceive() override {
    inbox_.clear();
    if (onPurge) onPurge(++purges_);
  }
  void SetDtr(bool) override {}
  void SetRts(bool) override {}

 private:
  void Pull() {
    device_.OnHostBytes(nullptr, 0, clock_.monotonicMs);
    std::uint8_t buffer[256];
    while (int n = device_.TakeReplies(buffer, sizeof buffer)) {
      inbox_.insert(inbox_.end(), buffer, buffer + n);
    }
  }

  sim::WireDevice& device_;
  VirtualClock& clock_;
  std::deque<std::uint8_t> inbox_;
  int purges_ = 0;
};

}  // namespace kestrix::test
