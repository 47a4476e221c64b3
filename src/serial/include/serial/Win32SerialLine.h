#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "core/SerialLine.h"

namespace kestrix {

// The one serial port of the program on the Win32 communications calls, for
// the Windows build (which has no QSerialPort). Port n is "\\.\COMn". All
// I/O is synchronous on the calling thread: reads return at once with what
// the driver holds, writes wait until the driver has taken the bytes.
//
// A port that vanishes while open (USB adapter pulled) is noticed on the next
// failing Write, or on a Read that finds nothing; the port then closes
// itself and the lost-port callback runs once.
class Win32SerialLine : public SerialLine {
 public:
  // A write gives up when the port has not taken the bytes within the time
  // they need on the wire plus this allowance.
  static constexpr int kDefaultWriteStallMs = 2000;
  // Asked of the driver for its receive queue. The loop is blocked for long
  // stretches (message boxes, pulses, transfers); a device that keeps
  // talking meanwhile must not overrun a small queue.
  static constexpr int kReceiveQueueBytes = 64 * 1024;
  static constexpr int kTransmitQueueBytes = 1024;

  // Windows resolves COM names itself, so the working folder (where other
  // systems look for "COM<n>" links) is not needed; it is taken so that
  // both port classes are built alike.
  explicit Win32SerialLine(const std::filesystem::path& workingFolder,
                           int writeStallMs = kDefaultWriteStallMs);
  ~Win32SerialLine() override;
  Win32SerialLine(const Win32SerialLine&) = delete;
  Win32SerialLine& operator=(const Win32SerialLine&) = delete;

  // Also false when the number is not plain decimal digits (at least 1, no
  // leading zero), which Windows would otherwise resolve as a path.
  bool OpenPort(const std::string& numberText, int baudIndex,
                bool ft232r) override;
  void ClosePort() override;
  void SetBaud(int index) override;
  // Called once each time an open port is found gone, after it was closed.
  void SetOnLost(std::function<void()> onLost);

  bool IsOpen() const override;
  int Write(const std::uint8_t* data, int count) override;
  int Read(std::uint8_t* data, int max) override;
  bool BytesWaiting() const override;
  std::string OpenFailure(const std::string& numberText) const override;
  std::string AdaptersPresent() const override;
  void PurgeReceive() override;
  // A line the driver cannot move (a virtual port without modem lines) is
  // left as it is; the port stays usable.
  void SetDtr(bool asserted) override;
  void SetRts(bool asserted) override;

 private:
  // Whether the device behind the open handle has gone away, asked after a
  // failed write or a read that found nothing.
  bool LineGone(unsigned long lastError) const;
  // Sets the time-outs for a write of count bytes at the current rate.
  void ApplyTimeouts(int count);
  void HandleLoss();

  void* handle_ = nullptr;  // the HANDLE; nullptr while closed
  int writeStallMs_;
  int baudIndex_ = 0;
  unsigned long writeBudgetMs_ = 0;  // the write time-out last set
  // Whether the driver answers status queries; a driver that does not is
  // judged by the errors of its reads and writes alone.
  bool statusWorks_ = false;
  bool lastReadFilled_ = false;
  std::function<void()> onLost_;
};

}  // namespace kestrix
