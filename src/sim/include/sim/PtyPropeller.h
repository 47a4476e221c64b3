#pragma once

#include <cstdint>
#include <string>

#include "sim/PtyServer.h"
#include "sim/SimulatedPropeller.h"
#include "sim/WireDevice.h"

namespace kestrix::sim {

// A simulated Propeller served behind a real pseudo-terminal. A pty has no
// modem lines, so a calibration byte 0xF9 after 50 ms of quiet between
// sessions, followed by a host bit, starts a session as a reset would (the
// host bit keeps a late clock byte from counting as one).
class PtyPropeller : private WireDevice {
 public:
  static constexpr int kQuietGapMs = 50;

  PtyPropeller() : PtyPropeller(SimulatedPropeller::Options{}) {}
  explicit PtyPropeller(SimulatedPropeller::Options options)
      : chip_(std::move(options)) {}
  ~PtyPropeller() override { Stop(); }

  // Starts serving; links linkFolder/COM<comNumber> to the slave device.
  bool Start(const std::string& linkFolder = "", int comNumber = 0) {
    return server_.Start(linkFolder, comNumber);
  }
  void Stop() { server_.Stop(); }  // also removes the link; safe to repeat

  SimulatedPropeller::Record LastRecord() const;
  SimulatedPropeller::Phase ChipPhase() const;
  int Sessions() const;
  // Waits up to timeoutMs for the chip to be between sessions.
  bool WaitBetweenSessions(int timeoutMs) const;

 private:
  void OnHostBytes(const std::uint8_t* data, int count,
                   std::int64_t nowMs) override;
  int TakeReplies(std::uint8_t* out, int max) override {
    return chip_.TakeReplies(out, max);
  }

  SimulatedPropeller chip_;
  std::int64_t lastByteMs_ = -kQuietGapMs;
  bool heldCalibration_ = false;
  PtyServer server_{*this};  // last: stops before the chip goes
};

}  // namespace kestrix::sim
