#include "serial/ComPort.h"

#include <QElapsedTimer>
#include <QMetaObject>
#include <utility>

#include "serial/AdapterListing.h"
#include "serial/BaudTable.h"
#include "serial/PortNames.h"
#include "serial/SerialAdapters.h"

#ifdef Q_OS_UNIX
#include <poll.h>
#endif

namespace kestrix {
namespace {

QSerialPort::StopBits StopBitsSetting(int index) {
  return StopBitsForIndex(index) == 2 ? QSerialPort::TwoStop
                                      : QSerialPort::OneStop;
}

}  // namespace

ComPort::ComPort(std::filesystem::path workingFolder, int writeStallMs)
    : workingFolder_(std::move(workingFolder)), writeStallMs_(writeStallMs) {
  QObject::connect(
      &port_, &QSerialPort::errorOccurred,
      [this](QSerialPort::SerialPortError error) { OnPortError(error); });
  QObject::connect(&port_, &QSerialPort::readyRead, [this] {
    if (onDataArrived_) onDataArrived_();
  });
}

ComPort::~ComPort() {
  QObject::disconnect(&port_, nullptr, nullptr, nullptr);
  ClosePort();
}

bool ComPort::OpenPort(const std::string& numberText, int baudIndex,
                       bool ft232r) {
  ClosePort();
  openError_.clear();
  const std::string device = PortDeviceName(numberText, workingFolder_);
  if (device.empty()) return false;

  port_.setPortName(QString::fromStdString(device));
  port_.setBaudRate(BaudRateForIndex(baudIndex));
  port_.setDataBits(QSerialPort::Data8);
  port_.setParity(QSerialPort::NoParity);
  port_.setStopBits(StopBitsSetting(baudIndex));
  port_.setFlowControl(QSerialPort::NoFlowControl);
  port_.setReadBufferSize(kReadBufferBytes);
  if (!port_.open(QIODevice::ReadWrite)) {
    openError_ = port_.errorString().toStdString();
    return false;
  }

  // Opening a tty raises both modem lines. On boards wired to an FT232R the
  // reset hangs off DTR, so it must stay low there. Pseudo-terminals refuse
  // these calls, which is harmless.
  port_.setDataTerminalReady(!ft232r);
  port_.setRequestToSend(false);
  port_.clearError();
  lost_ = false;
  return true;
}

void ComPort::ClosePort() {
  lost_ = false;
  lastReadFilled_ = false;
  if (!port_.isOpen()) return;
  port_.close();
}

void ComPort::SetBaud(int index) {
  if (!port_.isOpen()) return;
  port_.setBaudRate(BaudRateForIndex(index));
  port_.setStopBits(StopBitsSetting(index));
}

void ComPort::SetOnDataArrived(std::function<void()> onDataArrived) {
  onDataArrived_ = std::move(onDataArrived);
}

void ComPort::SetOnLost(std::function<void()> onLost) {
  onLost_ = std::move(onLost);
}

bool ComPort::IsOpen() const { return port_.isOpen(); }

int ComPort::Write(const std::uint8_t* data, int count) {
  if (!port_.isOpen() || (data == nullptr && count > 0)) return -1;
  if (count <= 0) return 0;

  if (port_.write(reinterpret_cast<const char*>(data), count) < 0) {
    if (LineGone()) HandleLoss();
    return -1;
  }

  // QSerialPort only buffers; push the bytes out here, since no event loop
  // may run before the caller's next step. Keep going while the port takes
  // bytes, give up once it has taken nothing for the stall limit. One
  // non-blocking attempt first: a line that takes the bytes at once (the
  // usual case, one typed character) needs no wait at all.
  port_.flush();
  qint64 left = port_.bytesToWrite();
  QElapsedTimer sinceProgress;
  sinceProgress.start();
  while (left > 0 && !lost_) {
    const qint64 budget = writeStallMs_ - sinceProgress.elapsed();
    if (budget <= 0) break;
    const bool ok = port_.waitForBytesWritten(static_cast<int>(budget));
    const qint64 now = port_.bytesToWrite();
    if (now < left) {
      left = now;
      sinceProgress.restart();
      continue;
    }
    if (!ok && port_.error() != QSerialPort::TimeoutError) {
      if (LineGone()) lost_ = true;
      break;
    }
  }

  const int written = count - static_cast<int>(left);
  if (lost_) {
    HandleLoss();
    return written > 0 ? written : -1;
  }
  // Bytes still queued would leave at some unrelated later moment and
  // corrupt whatever exchange runs then, so a stalled write drops them.
  if (left > 0) port_.clear(QSerialPort::Output);
  return written;
}

int ComPort::Read(std::uint8_t* data, int max) {
  if (!port_.isOpen() || (data == nullptr && max > 0)) return -1;
  if (max <= 0) return 0;

  // Pull in what the system holds right now without waiting, unless enough
  // is buffered already.
  if (port_.bytesAvailable() < max) {
    const bool arrived = port_.waitForReadyRead(0);
    if (!arrived && !lost_ && LineGone()) lost_ = true;
  }

  const qint64 n = port_.read(reinterpret_cast<char*>(data), max);
  lastReadFilled_ = n == max;
  if (lost_) {
    HandleLoss();
    return n > 0 ? static_cast<int>(n) : -1;
  }
  return n < 0 ? -1 : static_cast<int>(n);
}

bool ComPort::BytesWaiting() const {
  return port_.isOpen() && (lastReadFilled_ || port_.bytesAvailable() > 0);
}

void ComPort::PurgeReceive() {
  if (!port_.isOpen()) return;
  // Clears both the system's receive queue and QSerialPort's own buffer.
  port_.clear(QSerialPort::Input);
}

void ComPort::SetDtr(bool asserted) {
  if (port_.isOpen()) port_.setDataTerminalReady(asserted);
}

void ComPort::SetRts(bool asserted) {
  if (port_.isOpen()) port_.setRequestToSend(asserted);
}

bool ComPort::LineGone() const {
  if (!port_.isOpen()) return false;
#ifdef Q_OS_UNIX
  // A tty whose device went away is hung up; poll reports that even when
  // asked for no events.
  pollfd probe{static_cast<int>(port_.handle()), 0, 0};
  if (::poll(&probe, 1, 0) < 0) return false;
  return (probe.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
#else
  return port_.error() == QSerialPort::ResourceError;
#endif
}

void ComPort::OnPortError(QSerialPort::SerialPortError error) {
  switch (error) {
    case QSerialPort::NoError:
    case QSerialPort::TimeoutError:
    case QSerialPort::NotOpenError:
    case QSerialPort::UnsupportedOperationError:
      return;
    default:
      break;
  }
  if (lost_ || !LineGone()) return;
  lost_ = true;
  // This runs inside QSerialPort's own I/O code, which must not see the port
  // close under it. Read and Write finish the job when they caused the
  // error; when the event loop did, the queued call does.
  QMetaObject::invokeMethod(
      &port_,
      [this] {
        if (lost_) HandleLoss();
      },
      Qt::QueuedConnection);
}

void ComPort::HandleLoss() {
  ClosePort();
  if (onLost_) {
    // The callback may replace itself or reopen the port.
    std::function<void()> onLost = onLost_;
    onLost();
  }
}

std::string ComPort::OpenFailure(const std::string& numberText) const {
  const std::string device = PortDeviceName(numberText, workingFolder_);
  if (device.empty()) return "COM" + numberText + " names no device.";
  return "COM" + numberText + " is " + device +
         (openError_.empty() ? "." : ": " + openError_ + ".");
}

std::string ComPort::AdaptersPresent() const {
  return AdapterListing(ListSerialAdapters(workingFolder_));
}

}  // namespace kestrix
