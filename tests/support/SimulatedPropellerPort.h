#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/SimulatedPropeller.h"
#include "support/VirtualClock.h"
#include "terminal/BytePort.h"

namespace kestrix::test {

// A serial port with a simulated Propeller on the other end: writes go to the
// chip, reads return its replies, and asserting DTR or RTS resets it. Records
// every write so tests can check what went over the wire and in which blocks.
class SimulatedPropellerPort : public BytePort {
 public:
  explicit SimulatedPropellerPort(SimulatedPropeller& chip) : chip_(chip) {}

  // Lets the chip's time follow a virtual clock, so that waits of the code
  // under test are also time passing for the chip.
  void FollowClock(VirtualClock& clock);

  bool open = true;
  // Channel faults: hand over at most this many bytes per write (-1: all),
  // fail every read outright.
  int writeLimit = -1;
  bool failReads = false;

  std::vector<std::vector<std::uint8_t>> writes;
  std::vector<std::string> lineEvents;  // "DTR+", "DTR-", "RTS+", "RTS-"
  int purges = 0;

  std::vector<std::uint8_t> Written() const;
  std::vector<int> WriteSizes() const;

  bool IsOpen() const override { return open; }
  int Write(const std::uint8_t* data, int count) override;
  int Read(std::uint8_t* data, int max) override;
  void PurgeReceive() override;
  void SetDtr(bool asserted) override;
  void SetRts(bool asserted) override;

 private:
  SimulatedPropeller& chip_;
  bool dtr_ = false;
  bool rts_ = false;
};

}  // namespace kestrix::test
