#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "sim/PseudoTerminal.h"
#include "sim/WireDevice.h"

namespace kestrix::sim {

// Serves one WireDevice behind a real pseudo-terminal on a thread of its
// own: what the host writes to the slave goes to the device with the
// milliseconds since Start, and the device's replies go back. The device is
// touched only under a lock, which Inspect also takes.
class PtyServer {
 public:
  explicit PtyServer(WireDevice& device) : device_(device) {}
  ~PtyServer() { Stop(); }
  PtyServer(const PtyServer&) = delete;
  PtyServer& operator=(const PtyServer&) = delete;

  // Starts serving; with a folder, links folder/COM<comNumber> to the slave.
  bool Start(const std::string& linkFolder = "", int comNumber = 0);
  void Stop();  // also removes the link; safe to repeat

  // Runs look(device) while the serving thread keeps off it.
  template <typename Look>
  auto Inspect(Look look) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return look(device_);
  }

 private:
  void Serve();

  WireDevice& device_;
  mutable std::mutex mutex_;
  std::unique_ptr<PseudoTerminal> pty_;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::int64_t startNs_ = 0;
};

}  // namespace kestrix::sim
