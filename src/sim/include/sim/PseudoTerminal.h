#pragma once

#include <termios.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kestrix::sim {

// A pseudo-terminal standing in for a serial device. The device plays on
// the master end; a slave descriptor of our own is held open so the master
// stays readable while the host reopens the port, and lets the device watch
// the host's line settings and receive queue. The slave can be linked as
// `<folder>/COM<n>`, the name under which the port driver opens it.
class PseudoTerminal {
 public:
  PseudoTerminal();  // opens; check ok()
  ~PseudoTerminal();
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  bool ok() const { return master_ >= 0 && slave_ >= 0; }
  int master() const { return master_; }
  const std::string& slavePath() const { return slavePath_; }

  // Links folder/COM<comNumber> to the slave. A stale link of an earlier run
  // there (to a pty slave that is gone) is replaced; anything else, such as
  // a link to a real adapter, stays and the link fails.
  bool Link(const std::string& folder, int comNumber);
  void Unlink();  // removes our link, if any; safe to repeat

  void Send(const std::vector<std::uint8_t>& bytes);
  // What the host sent, until count bytes came or none for idleMs.
  std::vector<std::uint8_t> Receive(std::size_t count, int idleMs = 1000);
  int PendingAtDevice() const;
  // Waits until the host's receive queue holds count bytes.
  bool WaitPendingAtHost(int count);
  termios LineSettings() const;
  // The device vanishes: the master end closes and the line hangs up.
  void Vanish();

 private:
  int master_ = -1;
  int slave_ = -1;
  std::string slavePath_;
  std::string linkPath_;
};

}  // namespace kestrix::sim
