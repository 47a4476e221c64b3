#pragma once

#include <termios.h>

#include <cstdint>
#include <filesystem>
#include <vector>

namespace kestrix::test {

// A pseudo-terminal standing in for a serial device, its slave linked as
// "COM6" in a fresh temporary folder (the port's working folder). The test
// plays the device on the master end; a slave descriptor of our own watches
// the line settings and the receive queue.
class PseudoTerminal {
 public:
  static constexpr const char* kNumber = "6";

  PseudoTerminal();
  ~PseudoTerminal();
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  const std::filesystem::path& folder() const { return folder_; }
  bool ok() const { return master_ >= 0 && slave_ >= 0; }

  void Send(const std::vector<std::uint8_t>& bytes);
  // What the port sent, until count bytes came or none for idleMs.
  std::vector<std::uint8_t> Receive(std::size_t count, int idleMs = 1000);
  int PendingAtDevice() const;
  // Waits until the port's system receive queue holds count bytes.
  bool WaitPendingAtPort(int count);
  termios LineSettings() const;
  // The device vanishes: the master end closes and the line hangs up.
  void Vanish();

 private:
  std::filesystem::path folder_;
  int master_ = -1;
  int slave_ = -1;
};

}  // namespace kestrix::test
