#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

#include "sim/WireDevice.h"

namespace kestrix::sim {

// The Propeller 2 ROM monitor as a loader types into it: lines of
// "ADDR:HH HH .." fill hub memory from ADDR on (items without a prefix
// continue at the next address), and "0+ADDR" starts the program at ADDR.
// Every received character is echoed, as the monitor does; the echo is kept
// in a bounded buffer that drops its oldest bytes when nobody reads it.
class P2Monitor : public WireDevice {
 public:
  static constexpr std::uint32_t kHubBytes = 0x80000;
  static constexpr std::size_t kEchoLimit = 4096;

  P2Monitor();

  void OnHostBytes(const std::uint8_t* data, int count,
                   std::int64_t nowMs) override;
  int TakeReplies(std::uint8_t* out, int max) override;

  // The byte typed for `address`, or -1 when nothing was typed there.
  int HubByte(std::uint32_t address) const;
  std::size_t BytesLoaded() const { return loaded_; }
  // The address of the closing "0+ADDR" command once it was typed (it needs
  // no line end).
  std::optional<std::uint32_t> StartAddress() const;
  // Malformed items, bytes without an address, addresses beyond hub RAM,
  // anything typed after the start command.
  int Errors() const { return errors_; }
  std::uint64_t EchoDropped() const { return echoDropped_; }

 private:
  void Take(char c);
  void EndItem();

  std::vector<std::int16_t> hub_;
  std::size_t loaded_ = 0;
  std::deque<std::uint8_t> echo_;
  std::uint64_t echoDropped_ = 0;
  std::optional<std::uint32_t> address_;
  std::uint32_t digits_ = 0;
  int digitCount_ = 0;
  bool inStartCommand_ = false;
  std::optional<std::uint32_t> startAddress_;
  int errors_ = 0;
};

}  // namespace kestrix::sim
