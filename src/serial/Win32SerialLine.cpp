#include "serial/Win32SerialLine.h"

#include <windows.h>

#include <algorithm>
#include <utility>

#include "serial/AdapterListing.h"
#include "serial/BaudTable.h"
#include "serial/PortNames.h"
#include "serial/SerialAdapters.h"

namespace kestrix {
namespace {

HANDLE AsHandle(void* handle) { return static_cast<HANDLE>(handle); }

BYTE StopBitsSetting(int index) {
  return StopBitsForIndex(index) == 2 ? TWOSTOPBITS : ONESTOPBIT;
}

// How long a write of count bytes may take: its time on the wire at the
// current rate (11 bits a byte, the longest frame this port uses) plus the
// stall allowance.
DWORD WriteBudgetMs(int baudIndex, int count, int stallMs) {
  const long long baud = BaudRateForIndex(baudIndex);
  const long long wireMs = (11LL * 1000 * count + baud - 1) / baud;
  return static_cast<DWORD>(
      std::min<long long>(wireMs + stallMs, MAXDWORD - 1));
}

// Errors of a device that is no longer there: a pulled USB adapter fails
// with one of these, depending on its driver.
bool DeviceGoneError(DWORD error) {
  switch (error) {
    case ERROR_ACCESS_DENIED:
    case ERROR_BAD_COMMAND:
    case ERROR_DEVICE_NOT_CONNECTED:
    case ERROR_DEVICE_REMOVED:
    case ERROR_FILE_NOT_FOUND:
    case ERROR_GEN_FAILURE:
    case ERROR_INVALID_HANDLE:
    case ERROR_NOT_READY:
      return true;
    default:
      return false;
  }
}

}  // namespace

Win32SerialLine::Win32SerialLine(const std::filesystem::path& workingFolder,
                                 int writeStallMs)
    : writeStallMs_(writeStallMs) {
  (void)workingFolder;
}

Win32SerialLine::~Win32SerialLine() { ClosePort(); }

bool Win32SerialLine::OpenPort(const std::string& numberText, int baudIndex,
                               bool ft232r) {
  ClosePort();
  // Plain digits only: Windows resolves ".." in "\\.\COM" names, so any
  // other text could reach a different device.
  const std::string device = PortDeviceName(numberText, {});
  if (device.empty()) return false;
  HANDLE handle = CreateFileA(device.c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                              nullptr, OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  handle_ = handle;

  // The configuration calls may be refused by a device that cannot do a
  // setting (a virtual port has no modem lines); the port is opened all the
  // same and keeps whatever it has.
  SetupComm(handle, kReceiveQueueBytes, kTransmitQueueBytes);
  DCB line{};
  line.DCBlength = sizeof(line);
  if (GetCommState(handle, &line)) {
    line.BaudRate = static_cast<DWORD>(BaudRateForIndex(baudIndex));
    line.ByteSize = 8;
    line.Parity = NOPARITY;
    line.StopBits = StopBitsSetting(baudIndex);
    // Raw bytes both ways: no flow control, no character handling. On boards
    // wired to an FT232R the reset hangs off DTR, so it must stay low there.
    line.fBinary = 1;
    line.fParity = 0;
    line.fOutxCtsFlow = 0;
    line.fOutxDsrFlow = 0;
    line.fDtrControl = ft232r ? DTR_CONTROL_DISABLE : DTR_CONTROL_ENABLE;
    line.fDsrSensitivity = 0;
    line.fTXContinueOnXoff = 0;
    line.fOutX = 0;
    line.fInX = 0;
    line.fErrorChar = 0;
    line.fNull = 0;
    line.fRtsControl = RTS_CONTROL_DISABLE;
    line.fAbortOnError = 0;
    SetCommState(handle, &line);
  }
  baudIndex_ = baudIndex;
  writeBudgetMs_ = 0;
  ApplyTimeouts(1);

  DWORD errors = 0;
  COMSTAT status{};
  statusWorks_ = ClearCommError(handle, &errors, &status) != 0;
  lastReadFilled_ = false;
  return true;
}

void Win32SerialLine::ClosePort() {
  lastReadFilled_ = false;
  if (handle_ == nullptr) return;
  CloseHandle(AsHandle(handle_));
  handle_ = nullptr;
}

void Win32SerialLine::SetBaud(int index) {
  if (handle_ == nullptr) return;
  DCB line{};
  line.DCBlength = sizeof(line);
  if (GetCommState(AsHandle(handle_), &line)) {
    line.BaudRate = static_cast<DWORD>(BaudRateForIndex(index));
    line.StopBits = StopBitsSetting(index);
    SetCommState(AsHandle(handle_), &line);
  }
  baudIndex_ = index;
}

void Win32SerialLine::ApplyTimeouts(int count) {
  // Reads return at once with what has arrived, possibly nothing. A write
  // may take as long as its bytes need on the wire, plus the stall allowance;
  // a line that takes longer is stuck (a hung adapter), and the write ends
  // with what was handed over instead of blocking the program for good.
  const DWORD writeBudgetMs = WriteBudgetMs(baudIndex_, count, writeStallMs_);
  if (writeBudgetMs == writeBudgetMs_) return;
  COMMTIMEOUTS timeouts{};
  timeouts.ReadIntervalTimeout = MAXDWORD;
  timeouts.ReadTotalTimeoutMultiplier = 0;
  timeouts.ReadTotalTimeoutConstant = 0;
  timeouts.WriteTotalTimeoutMultiplier = 0;
  timeouts.WriteTotalTimeoutConstant = writeBudgetMs;
  SetCommTimeouts(AsHandle(handle_), &timeouts);
  writeBudgetMs_ = writeBudgetMs;
}

void Win32SerialLine::SetOnLost(std::function<void()> onLost) {
  onLost_ = std::move(onLost);
}

bool Win32SerialLine::IsOpen() const { return handle_ != nullptr; }

int Win32SerialLine::Write(const std::uint8_t* data, int count) {
  if (handle_ == nullptr || (data == nullptr && count > 0)) return -1;
  if (count <= 0) return 0;
  ApplyTimeouts(count);
  DWORD written = 0;
  if (!WriteFile(AsHandle(handle_), data, static_cast<DWORD>(count), &written,
                 nullptr)) {
    const DWORD error = GetLastError();
    if (LineGone(error)) HandleLoss();
    return written > 0 ? static_cast<int>(written) : -1;
  }
  // A timed-out write has handed over only part; the rest was never queued.
  return static_cast<int>(written);
}

int Win32SerialLine::Read(std::uint8_t* data, int max) {
  if (handle_ == nullptr || (data == nullptr && max > 0)) return -1;
  if (max <= 0) return 0;
  DWORD got = 0;
  if (!ReadFile(AsHandle(handle_), data, static_cast<DWORD>(max), &got,
                nullptr)) {
    lastReadFilled_ = false;
    if (LineGone(GetLastError())) HandleLoss();
    return -1;
  }
  lastReadFilled_ = got == static_cast<DWORD>(max);
  // Some drivers report a vanished device only as a read that finds
  // nothing; the status query tells it apart from a quiet line.
  if (got == 0 && LineGone(ERROR_SUCCESS)) {
    HandleLoss();
    return -1;
  }
  return static_cast<int>(got);
}

bool Win32SerialLine::BytesWaiting() const {
  if (handle_ == nullptr) return false;
  if (lastReadFilled_) return true;
  DWORD errors = 0;
  COMSTAT status{};
  return ClearCommError(AsHandle(handle_), &errors, &status) &&
         status.cbInQue > 0;
}

void Win32SerialLine::PurgeReceive() {
  if (handle_ == nullptr) return;
  PurgeComm(AsHandle(handle_), PURGE_RXCLEAR);
  lastReadFilled_ = false;
}

void Win32SerialLine::SetDtr(bool asserted) {
  if (handle_ != nullptr) {
    EscapeCommFunction(AsHandle(handle_), asserted ? SETDTR : CLRDTR);
  }
}

void Win32SerialLine::SetRts(bool asserted) {
  if (handle_ != nullptr) {
    EscapeCommFunction(AsHandle(handle_), asserted ? SETRTS : CLRRTS);
  }
}

bool Win32SerialLine::LineGone(unsigned long lastError) const {
  if (handle_ == nullptr) return false;
  if (statusWorks_) {
    // The status query of a present port does not fail, whatever the line
    // carries.
    DWORD errors = 0;
    COMSTAT status{};
    return ClearCommError(AsHandle(handle_), &errors, &status) == 0;
  }
  return DeviceGoneError(lastError);
}

void Win32SerialLine::HandleLoss() {
  ClosePort();
  if (onLost_) {
    // The callback may replace itself or reopen the port.
    std::function<void()> onLost = onLost_;
    onLost();
  }
}

std::string Win32SerialLine::OpenFailure(
    const std::string& numberText) const {
  const std::string device = PortDeviceName(numberText, {});
  if (device.empty()) return "COM" + numberText + " names no device.";
  return "COM" + numberText + " is " + device +
         ": no such port, or another program has it open.";
}

std::string Win32SerialLine::AdaptersPresent() const {
  return AdapterListing(ListSerialAdapters({}));
}

}  // namespace kestrix
