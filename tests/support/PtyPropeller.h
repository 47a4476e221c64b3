#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

#include "support/SimulatedPropeller.h"

namespace kestrix::test {

// A simulated Propeller served on a thread behind a real pseudo-terminal.
// A pty has no modem lines, so a calibration byte 0xF9 after 50 ms of quiet
// between sessions, followed by a host bit, starts a session as a reset
// would (the host bit keeps a late clock byte from counting as one).
class PtyPropeller {
 public:
  static constexpr int kQuietGapMs = 50;

  PtyPropeller();
  explicit PtyPropeller(SimulatedPropeller::Options options);
  ~PtyPropeller();
  PtyPropeller(const PtyPropeller&) = delete;
  PtyPropeller& operator=(const PtyPropeller&) = delete;

  // Starts serving; links linkFolder/COM<comNumber> to the slave device.
  bool Start(const std::string& linkFolder = "", int comNumber = 0);
  void Stop();  // also removes the link; safe to repeat

  SimulatedPropeller::Record LastRecord() const;
  SimulatedPropeller::Phase ChipPhase() const;
  int Sessions() const;
  // Waits up to timeoutMs for the chip to be between sessions.
  bool WaitBetweenSessions(int timeoutMs) const;

 private:
  void Serve();

  mutable std::mutex mutex_;
  SimulatedPropeller chip_;
  int masterFd_ = -1;
  int slaveHoldFd_ = -1;
  std::string slavePath_;
  std::string linkPath_;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::int64_t startNs_ = 0;
};

}  // namespace kestrix::test
