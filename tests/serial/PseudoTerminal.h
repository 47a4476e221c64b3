#pragma once

#include <termios.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace kestrix::test {

// A pseudo-terminal standing in for a serial device. The slave end is linked
// as "COM6" in a fresh temporary folder, the working folder the port under
// test searches; the test plays the device on the master end. The helper
// keeps a slave descriptor of its own to watch the line settings and the
// receive queue.
class PseudoTerminal {
 public:
  static constexpr const char* kNumber = "6";

  PseudoTerminal();
  ~PseudoTerminal();
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  const std::filesystem::path& folder() const { return folder_; }
  bool ok() const { return master_ >= 0 && slave_ >= 0; }

  // The device sends bytes to the port.
  void Send(const std::vector<std::uint8_t>& bytes);
  // Bytes the port sent, collected until count have arrived or nothing has
  // come for idleMs.
  std::vector<std::uint8_t> Receive(std::size_t count, int idleMs = 1000);
  // Bytes the port sent that are waiting right now.
  int PendingAtDevice() const;
  // Bytes in the port's system receive queue, not yet taken by any reader.
  int PendingAtPort() const;
  // Waits until the port's receive queue holds count bytes.
  bool WaitPendingAtPort(int count);
  termios LineSettings() const;
  // The device vanishes: the master end closes and the line hangs up.
  void Vanish();

 private:
  std::filesystem::path folder_;
  int master_ = -1;
  int slave_ = -1;
};

// A speed constant of termios (B115200) as a number of baud, 0 if unknown.
int BaudOf(speed_t speed);

}  // namespace kestrix::test
