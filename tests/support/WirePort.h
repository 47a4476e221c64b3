#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>

#include "sim/WireDevice.h"
#include "support/FakePort.h"
#include "support/VirtualClock.h"

namespace kestrix::test {

// The program's writes go to a simulated device on a virtual clock; its answer
// stays on the wire until the next read, so a purge right after a write keeps
// it. Unplugged after `writesLeft` writes: closed, or open failing writes.
class WirePort : public FakePort {
 public:
  WirePort(sim::WireDevice& device, VirtualClock& clock)
      : device_(device), clock_(clock) {}

  int writesLeft = -1;  // -1: never unplugged
  bool failsOpen = false;
  int writesWhileGone = 0;
  std::function<void(int)> onPurge;  // gets the purge's number, from 1

  // Drops what the device sent before the program reacts (its request).
  void DrainRequest() { Pull(), incoming.clear(); }

  int Write(const std::uint8_t* data, int count) override {
    if (!open || writesLeft == 0) return ++writesWhileGone, -1;
    device_.OnHostBytes(data, count, clock_.monotonicMs);
    FakePort::Write(data, count);
    if (writesLeft > 0 && --writesLeft == 0 && !failsOpen) open = false;
    return count;
  }
  int Read(std::uint8_t* data, int max) override {
    if (open) Pull();
    return FakePort::Read(data, max);
  }
  void PurgeReceive() override {
    FakePort::PurgeReceive();
    if (onPurge) onPurge(int(std::ranges::count(events, "purge")));
  }

 private:
  void Pull() {
    device_.OnHostBytes(nullptr, 0, clock_.monotonicMs);
    std::uint8_t buffer[256];
    while (int n = device_.TakeReplies(buffer, sizeof buffer)) {
      incoming.insert(incoming.end(), buffer, buffer + n);
    }
  }

  sim::WireDevice& device_;
  VirtualClock& clock_;
};

}  // namespace kestrix::test
