#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

#include "support/SimulatedPropeller.h"

namespace kestrix::test {

// A simulated Propeller behind a real pseudo-terminal, for tests that open a
// serial device by name (a child process, the real port driver). The
// simulator is served on a background thread from the master side; the host
// opens the slave device (or the COM<n> link to it).
//
// A pty has no modem lines, so a reset cannot reach the chip. Instead a
// calibration byte 0xF9 that arrives after at least 50 ms of quiet, while the
// chip is between sessions, and is followed by a host bit (0xFE or 0xFF)
// starts a new session as a reset would have. Requiring the host bit keeps a
// late clock byte of a finished exchange from being taken for a new session
// when the host is slow.
class PtyPropeller {
 public:
  static constexpr int kQuietGapMs = 50;

  PtyPropeller();
  explicit PtyPropeller(SimulatedPropeller::Options options);
  ~PtyPropeller();
  PtyPropeller(const PtyPropeller&) = delete;
  PtyPropeller& operator=(const PtyPropeller&) = delete;

  // Opens the pty pair and starts serving. With linkFolder not empty, also
  // creates linkFolder/COM<comNumber> pointing to the slave device. Returns
  // false (and serves nothing) when any step fails.
  bool Start(const std::string& linkFolder = "", int comNumber = 0);
  // Stops serving, closes the pty and removes the link. Safe to repeat.
  void Stop();

  // The slave device ("/dev/pts/N") and the link, empty when there is none.
  const std::string& SlavePath() const { return slavePath_; }
  const std::string& LinkPath() const { return linkPath_; }

  // Thread-safe views of the chip.
  SimulatedPropeller::Record LastRecord() const;
  SimulatedPropeller::Phase ChipPhase() const;
  // Sessions begun, counting each reset and each quiet-gap restart.
  int Sessions() const;
  // Waits up to timeoutMs for the chip to leave an exchange (booted, shut
  // down, rejected, hung). Returns whether it did.
  bool WaitBetweenSessions(int timeoutMs) const;

 private:
  void Serve();
  std::int64_t ElapsedMs() const;

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
