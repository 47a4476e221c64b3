#include "serial/Win32SerialLine.h"

#include <windows.h>

#include <utility>

#include "serial/BaudTable.h"
#include "serial/PortNames.h"

namespace kestrix {
namespace {

// Driver queue sizes asked for at open.
constexpr DWORD kQueueBytes = 64 * 1024;

HANDLE AsHandle(void* handle) { return static_cast<HANDLE>(handle); }

bool ApplyBaud(HANDLE handle, int index) {
  DCB dcb{};
  dcb.DCBlength = sizeof(dcb);
  if (!::GetCommState(handle, &dcb)) return false;
  dcb.BaudRate = static_cast<DWORD>(BaudRateForIndex(index));
  dcb.StopBits = StopBitsForIndex(index) == 2 ? TWOSTOPBITS : ONESTOPBIT;
  return ::SetCommState(handle, &dcb) != 0;
}

}  // namespace

Win32SerialLine::Win32SerialLine(std::filesystem::path workingFolder,
                                 int writeStallMs)
    : workingFolder_(std::move(workingFolder)), writeStallMs_(writeStallMs) {}

Win32SerialLine::~Win32SerialLine() { ClosePort(); }

bool Win32SerialLine::OpenPort(const std::string& numberText, int baudIndex,
                               int ft232r) {
  ClosePort();
  const std::string name = PortDeviceName(numberText, workingFolder_);
  if (name.empty()) return false;
  HANDLE handle = ::CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                nullptr, OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  handle_ = handle;
  ::SetupComm(handle, kQueueBytes, kQueueBytes);
  // Line settings the device refuses do not fail the open.
  DCB dcb{};
  dcb.DCBlength = sizeof(dcb);
  if (::GetCommState(handle, &dcb)) {
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    dcb.Parity = NOPARITY;
    dcb.ByteSize = 8;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fDtrControl = ft232r == 0 ? DTR_CONTROL_ENABLE : DTR_CONTROL_DISABLE;
    dcb.fRtsControl = RTS_CONTROL_DISABLE;
    ::SetCommState(handle, &dcb);
  }
  ApplyBaud(handle, baudIndex);
  // Reads return at once with what is there; writes stop after the stall.
  COMMTIMEOUTS timeouts{};
  timeouts.ReadIntervalTimeout = MAXDWORD;
  timeouts.WriteTotalTimeoutConstant = static_cast<DWORD>(writeStallMs_);
  ::SetCommTimeouts(handle, &timeouts);
  ::PurgeComm(handle, PURGE_RXCLEAR | PURGE_TXCLEAR);
  lastReadFilled_ = false;
  return true;
}

void Win32SerialLine::ClosePort() {
  if (handle_ == nullptr) return;
  ::CloseHandle(AsHandle(handle_));
  handle_ = nullptr;
  lastReadFilled_ = false;
}

void Win32SerialLine::SetBaud(int index) {
  if (handle_ != nullptr) ApplyBaud(AsHandle(handle_), index);
}

void Win32SerialLine::SetOnLost(std::function<void()> onLost) {
  onLost_ = std::move(onLost);
}

bool Win32SerialLine::IsOpen() const { return handle_ != nullptr; }

int Win32SerialLine::Write(const std::uint8_t* data, int count) {
  if (handle_ == nullptr || (data == nullptr && count > 0)) return -1;
  int total = 0;
  while (total < count) {
    DWORD written = 0;
    if (!::WriteFile(AsHandle(handle_), data + total,
                     static_cast<DWORD>(count - total), &written, nullptr)) {
      HandleLoss();
      return total > 0 ? total : -1;
    }
    if (written == 0) break;  // stalled past the write time-out
    total += static_cast<int>(written);
  }
  return total;
}

int Win32SerialLine::Read(std::uint8_t* data, int max) {
  if (handle_ == nullptr || (data == nullptr && max > 0)) return -1;
  if (max <= 0) return 0;
  DWORD got = 0;
  if (!::ReadFile(AsHandle(handle_), data, static_cast<DWORD>(max), &got,
                  nullptr)) {
    HandleLoss();
    return -1;
  }
  lastReadFilled_ = static_cast<int>(got) == max;
  return static_cast<int>(got);
}

bool Win32SerialLine::BytesWaiting() const {
  if (handle_ == nullptr) return false;
  if (lastReadFilled_) return true;
  DWORD errors = 0;
  COMSTAT status{};
  return ::ClearCommError(AsHandle(handle_), &errors, &status) &&
         status.cbInQue > 0;
}

void Win32SerialLine::PurgeReceive() {
  if (handle_ == nullptr) return;
  ::PurgeComm(AsHandle(handle_), PURGE_RXCLEAR);
  lastReadFilled_ = false;
}

void Win32SerialLine::SetDtr(bool asserted) {
  if (handle_ != nullptr) {
    ::EscapeCommFunction(AsHandle(handle_), asserted ? SETDTR : CLRDTR);
  }
}

void Win32SerialLine::SetRts(bool asserted) {
  if (handle_ != nullptr) {
    ::EscapeCommFunction(AsHandle(handle_), asserted ? SETRTS : CLRRTS);
  }
}

void Win32SerialLine::HandleLoss() {
  ClosePort();
  if (onLost_) onLost_();
}

}  // namespace kestrix
