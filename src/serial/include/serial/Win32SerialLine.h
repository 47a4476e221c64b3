#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "core/SerialLine.h"

namespace kestrix {

// The serial port on Windows, on the Win32 communication calls. The handle
// is opened without overlapped I/O: reads return at once with what has
// arrived, writes give up when the port has taken nothing for a while.
// A port that fails a read or write (adapter pulled) is closed and the
// lost-port callback runs once.
class Win32SerialLine : public SerialLine {
 public:
  static constexpr int kDefaultWriteStallMs = 2000;

  explicit Win32SerialLine(std::filesystem::path workingFolder,
                           int writeStallMs = kDefaultWriteStallMs);
  ~Win32SerialLine() override;
  Win32SerialLine(const Win32SerialLine&) = delete;
  Win32SerialLine& operator=(const Win32SerialLine&) = delete;

  bool OpenPort(const std::string& numberText, int baudIndex,
                int ft232r) override;
  void ClosePort() override;
  void SetBaud(int index) override;
  void SetOnLost(std::function<void()> onLost);

  bool IsOpen() const override;
  int Write(const std::uint8_t* data, int count) override;
  int Read(std::uint8_t* data, int max) override;
  bool BytesWaiting() const override;
  void PurgeReceive() override;
  void SetDtr(bool asserted) override;
  void SetRts(bool asserted) override;

 private:
  void HandleLoss();

  std::filesystem::path workingFolder_;
  int writeStallMs_;
  void* handle_ = nullptr;  // HANDLE; null while closed
  bool lastReadFilled_ = false;
  std::function<void()> onLost_;
};

}  // namespace kestrix
