#pragma once

#include <QSerialPort>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "core/SerialLine.h"

namespace kestrix {

// The one serial port of the program, on QSerialPort. It is used from the
// thread that runs the event loop, often while no event loop turns (uploads
// and transfers block it), so every call does its own waiting and nothing
// depends on signals being delivered.
//
// A port that vanishes while open (USB adapter pulled) is noticed on the next
// failing Read or Write, or by the event loop; the port then closes itself
// and the lost-port callback runs once.
class ComPort : public SerialLine {
 public:
  // A write gives up when the port has taken no byte for this long.
  static constexpr int kDefaultWriteStallMs = 2000;
  // Most bytes QSerialPort takes from the system ahead of the program's
  // reads. Beyond it the system's own queue holds them (and a device on a
  // line with flow control waits), so a flood cannot grow the program.
  static constexpr qint64 kReadBufferBytes = 256 * 1024;

  // The working folder is where "COM<n>" links are looked for (see
  // PortNames.h).
  explicit ComPort(std::filesystem::path workingFolder,
                   int writeStallMs = kDefaultWriteStallMs);
  ~ComPort() override;
  ComPort(const ComPort&) = delete;
  ComPort& operator=(const ComPort&) = delete;

  bool OpenPort(const std::string& numberText, int baudIndex,
                bool ft232r) override;
  void ClosePort() override;
  void SetBaud(int index) override;
  // Called once each time an open port is found gone, after it was closed.
  void SetOnLost(std::function<void()> onLost);
  void SetOnDataArrived(std::function<void()> onDataArrived) override;

  bool IsOpen() const override;
  int Write(const std::uint8_t* data, int count) override;
  int Read(std::uint8_t* data, int max) override;
  bool BytesWaiting() const override;
  std::string OpenFailure(const std::string& numberText) const override;
  std::string AdaptersPresent() const override;
  void PurgeReceive() override;
  void SetDtr(bool asserted) override;
  void SetRts(bool asserted) override;

 private:
  // Whether the device behind the open handle has gone away. Qt's error
  // codes alone cannot tell: a would-block condition also maps to a resource
  // error, and a hung-up line reports a stale errno.
  bool LineGone() const;
  void OnPortError(QSerialPort::SerialPortError error);
  void HandleLoss();

  std::filesystem::path workingFolder_;
  int writeStallMs_;
  QSerialPort port_;
  bool lost_ = false;
  std::string openError_;  // the system's reason the last open failed
  bool lastReadFilled_ = false;
  std::function<void()> onLost_;
  std::function<void()> onDataArrived_;
};

}  // namespace kestrix
