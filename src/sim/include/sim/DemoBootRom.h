#pragma once

#include <cstdint>
#include <vector>

namespace kestrix::sim {

// What a Propeller 1 boot session delivered.
struct BootOutcome {
  bool accepted = false;  // image received, checksum good, chip running
  int command = -1;       // 1 RAM, 3 EEPROM, 0 shut down
  std::vector<std::uint8_t> image;
};

// The chip's boot ROM behind the demo: the demo hands it the bytes of a
// session from the calibration byte on and relays its replies.
class DemoBootRom {
 public:
  virtual ~DemoBootRom() = default;
  virtual void StartSession() = 0;
  virtual void OnHostBytes(const std::uint8_t* data, int count,
                           std::int64_t nowMs) = 0;
  virtual int TakeReplies(std::uint8_t* out, int max) = 0;
  virtual bool SessionOver() const = 0;
  virtual BootOutcome Outcome() const = 0;
};

}  // namespace kestrix::sim
