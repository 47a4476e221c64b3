#pragma once

#include <cstdint>
#include <string>

namespace kestrix::sim {

// The Propeller 2 monitor's typing format as the demo takes it: lines of
// "ADDR:" followed by blank-separated byte pairs, ended by "0+ADDR", the
// command that starts the loaded program.
class DemoMonitor {
 public:
  struct Load {
    std::uint32_t first = 0;  // lowest and highest address written
    std::uint32_t last = 0;
    std::uint32_t bytes = 0;
    std::uint32_t sum = 0;  // of the byte values
    std::uint32_t start = 0;
  };

  void Reset() { *this = DemoMonitor{}; }
  // Takes one typed byte; returns what the monitor echoes for it.
  std::string OnByte(std::uint8_t byte);
  // "0+" has been typed; the start address may still be coming.
  bool Closing() const { return closing_; }
  Load Result() const { return load_; }

 private:
  void EndItem();

  std::string field_;
  bool haveAddress_ = false;
  bool closing_ = false;
  std::uint32_t address_ = 0;
  Load load_;
};

}  // namespace kestrix::sim
