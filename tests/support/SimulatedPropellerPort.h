#pragma once

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "sim/SimulatedPropeller.h"
#include "support/FakePort.h"
#include "support/VirtualClock.h"

namespace kestrix::test {

// A recording port with its own simulated Propeller behind it: writes go to
// the chip, reads return its replies, asserting DTR or RTS resets it.
class SimulatedPropellerPort : public FakePort {
 public:
  explicit SimulatedPropellerPort(sim::SimulatedPropeller::Options options = {})
      : chip(std::move(options)) {}

  void FollowClock(VirtualClock& clock) {
    clock.onSleep = [this](int ms) { chip.AdvanceMs(ms); };
  }

  sim::SimulatedPropeller chip;

  // Faults: at most this many bytes per write (-1: all); failing reads.
  int writeLimit = -1;
  bool failReads = false;

  int Write(const std::uint8_t* data, int count) override {
    const int n = FakePort::Write(
        data, writeLimit < 0 ? count : std::min(count, writeLimit));
    if (n > 0) chip.OnHostBytes(data, n);
    return n;
  }
  // Bytes the test fed (left from an earlier exchange) come first.
  int Read(std::uint8_t* data, int max) override {
    if (!open || failReads) return -1;
    return incoming.empty() ? chip.TakeReplies(data, max)
                            : FakePort::Read(data, max);
  }
  void PurgeReceive() override {
    FakePort::PurgeReceive();
    chip.DropReplies();
  }
  // The board's reset fires when a line is asserted.
  void SetDtr(bool on) override {
    FakePort::SetDtr(on);
    if (on && !dtr_) chip.Reset();
    dtr_ = on;
  }
  void SetRts(bool on) override {
    FakePort::SetRts(on);
    if (on && !rts_) chip.Reset();
    rts_ = on;
  }

 private:
  bool dtr_ = false, rts_ = false;
};

}  // namespace kestrix::test
