#pragma once

#include <cstdint>

#include "core/BytePort.h"
#include "core/Clock.h"

namespace kestrix::fuzz {

// An open line on which nothing arrives and everything sent is dropped.
class SilentPort : public BytePort {
 public:
  bool IsOpen() const override { return true; }
  int Write(const std::uint8_t*, int count) override { return count; }
  int Read(std::uint8_t*, int) override { return 0; }
  void PurgeReceive() override {}
  void SetDtr(bool) override {}
  void SetRts(bool) override {}
};

// Time that passes only when slept.
class StillClock : public Clock {
 public:
  LocalDateTime Now() override { return {}; }
  void SleepMs(int ms) override { ms_ += ms; }
  std::int64_t MonotonicMs() override { return ms_; }

 private:
  std::int64_t ms_ = 0;
};

}  // namespace kestrix::fuzz
