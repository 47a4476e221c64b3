#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "core/BytePort.h"
#include "support/SimulatedPropeller.h"
#include "support/VirtualClock.h"

namespace kestrix::test {

// A port with a simulated Propeller behind it: writes go to the chip, reads
// return its replies, asserting DTR or RTS resets it; writes are recorded.
class SimulatedPropellerPort : public BytePort {
 public:
  explicit SimulatedPropellerPort(SimulatedPropeller& chip) : chip_(chip) {}

  // The chip's time follows the clock's sleeps.
  void FollowClock(VirtualClock& clock) {
    clock.onSleep = [this](int ms) { chip_.AdvanceMs(ms); };
  }

  bool open = true;
  // Faults: at most this many bytes per write (-1: all); failing reads.
  int writeLimit = -1;
  bool failReads = false;

  std::vector<std::vector<std::uint8_t>> writes;
  std::vector<std::string> lineEvents;  // "DTR+", "DTR-", "RTS+", "RTS-"
  int purges = 0;

  std::vector<std::uint8_t> Written() const {
    std::vector<std::uint8_t> all;
    for (const auto& w : writes) all.insert(all.end(), w.begin(), w.end());
    return all;
  }
  std::vector<int> WriteSizes() const {
    std::vector<int> sizes;
    for (const auto& w : writes) sizes.push_back(static_cast<int>(w.size()));
    return sizes;
  }

  bool IsOpen() const override { return open; }
  int Write(const std::uint8_t* data, int count) override {
    if (!open) return -1;
    int n = writeLimit < 0 ? count : std::min(count, writeLimit);
    writes.emplace_back(data, data + n);
    chip_.OnHostBytes(data, n);
    return n;
  }
  int Read(std::uint8_t* data, int max) override {
    return !open || failReads ? -1 : chip_.TakeReplies(data, max);
  }
  void PurgeReceive() override {
    ++purges;
    chip_.DropReplies();
  }
  // The board's reset circuit fires on the line being asserted.
  void SetDtr(bool on) override { Line("DTR", on, dtr_); }
  void SetRts(bool on) override { Line("RTS", on, rts_); }

 private:
  void Line(const std::string& name, bool on, bool& state) {
    lineEvents.push_back(name + (on ? "+" : "-"));
    if (on && !state) chip_.Reset();
    state = on;
  }

  SimulatedPropeller& chip_;
  bool dtr_ = false;
  bool rts_ = false;
};

}  // namespace kestrix::test
