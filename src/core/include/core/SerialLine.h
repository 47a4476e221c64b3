#pragma once

#include <functional>
#include <string>

#include "core/BytePort.h"

namespace kestrix {

// The one serial port, with the operations that open, re-clock and close it.
// The program implements it on QSerialPort; tests with scripted devices.
class SerialLine : public BytePort {
 public:
  // Opens port `numberText` ("6" for COM6) at a baud-table index,
  // exclusively: 8 data bits, no parity, no flow control, rate and stop bits
  // from the baud table. DTR is asserted while open unless ft232r is set;
  // RTS is off. Line settings the device refuses do not fail the open; a
  // port already open is closed first. Returns false when the device cannot
  // be opened; the port is then closed.
  virtual bool OpenPort(const std::string& numberText, int baudIndex,
                        bool ft232r) = 0;
  // No effect when already closed; a line's lost-port notice is not given.
  virtual void ClosePort() = 0;
  // Rate and stop bits only; nothing on a closed port.
  virtual void SetBaud(int index) = 0;
  // Called when bytes arrive while the event loop runs, so they can be shown
  // without waiting for the next timer tick. A line that cannot tell keeps
  // the default and is polled on ticks only.
  virtual void SetOnDataArrived(std::function<void()> onDataArrived) {
    (void)onDataArrived;
  }
  // Whether received bytes are known to be waiting: the last read filled
  // what was asked for, or bytes were received and not read yet. The event
  // loop then polls again at once instead of waiting for a notice or a tick.
  virtual bool BytesWaiting() const { return false; }
  // For a person choosing a port, where the line can tell (empty where it
  // cannot): which device port `numberText` names and why its last open
  // failed; and the serial adapters present, with the number that names
  // each.
  virtual std::string OpenFailure(const std::string& numberText) const {
    (void)numberText;
    return {};
  }
  virtual std::string AdaptersPresent() const { return {}; }
};

}  // namespace kestrix
