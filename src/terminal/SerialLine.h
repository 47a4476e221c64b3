#pragma once

#include <string>

#include "terminal/BytePort.h"

namespace kestrix {

// The one serial port, with the operations that open, re-clock and close it.
// The program implements it on QSerialPort; tests with scripted devices.
class SerialLine : public BytePort {
 public:
  // Opens port `numberText` ("6" for COM6) at a baud-table index. Returns
  // false when the device cannot be opened; the port is then closed.
  virtual bool OpenPort(const std::string& numberText, int baudIndex,
                        int ft232r) = 0;
  // No effect when already closed.
  virtual void ClosePort() = 0;
  // Rate and stop bits only; nothing on a closed port.
  virtual void SetBaud(int index) = 0;
};

}  // namespace kestrix
