#pragma once

#include <cstdint>

namespace kestrix::sim {

// A simulated device as the serial line sees it: bytes from the host go in,
// reply bytes come out. Written from the wire protocols alone, never from the
// program's own encoders, so that it can check them. A pseudo-terminal
// server, an in-process port double or a benchmark drives it.
class WireDevice {
 public:
  virtual ~WireDevice() = default;
  // Bytes from the host, arriving at `nowMs` on the device's own clock.
  virtual void OnHostBytes(const std::uint8_t* data, int count,
                           std::int64_t nowMs) = 0;
  // Moves up to `max` pending reply bytes to `out`; returns how many.
  virtual int TakeReplies(std::uint8_t* out, int max) = 0;
};

}  // namespace kestrix::sim
