#include "loader/BootProtocol.h"

#include <algorithm>
#include <string>

#include "loader/BootWire.h"
#include "loader/Handshake.h"

namespace kestrix {

namespace {

using boot::kBitOne;
using boot::kBitZero;
using boot::kClockByte;
using boot::kEchoBits;
using boot::kVersionBits;

// A long travels as ten bytes of three bits (at bit positions 0, 3 and 6)
// and one closing byte with the top two bits.
constexpr int kLongBytes = 11;
constexpr std::uint8_t kLongBitsByte = 0x92;
constexpr std::uint8_t kLongLastByte = 0xF2;

constexpr int kEchoBudgetMs = 100;
constexpr int kVersionBudgetMs = 50;
constexpr int kChecksumBudgetMs = 2500;
constexpr int kProgramBudgetMs = 5000;
constexpr int kVerifyBudgetMs = 2500;

constexpr int kClockWaitMs = 25;
constexpr int kPollWaitMs = 10;

// An EEPROM is always programmed whole: 32 KiB.
constexpr int kEepromBytes = 32768;
constexpr int kMaxImageBytes = kLoaderImageLongs * 4;

}  // namespace

BootProtocol::BootProtocol(BytePort& port, Clock& clock, TextOutput& output)
    : port_(port), clock_(clock), output_(output) {}

void BootProtocol::QueueByte(std::uint8_t byte) {
  txBuffer_.bytes[txBuffer_.count++] = byte;
  if (txBuffer_.count >= kBufferSize) FlushTx();
}

void BootProtocol::FlushTx() {
  if (txBuffer_.count <= 0) return;
  if (lost_) {
    txBuffer_.count = 0;
    return;
  }
  int written = port_.Write(txBuffer_.bytes.data(), txBuffer_.count);
  if (written < 0 && !port_.IsOpen()) {
    PortVanished();
  } else if (written < 0) {
    output_.PrintLine("Unable to write");
  } else if (written < txBuffer_.count) {
    output_.PrintLine("Transmit stall on");
  }
  txBuffer_.count = 0;
}

int BootProtocol::FillRx() {
  rxBuffer_.position = 0;
  rxBuffer_.count = 0;
  if (lost_) return 0;
  int n = port_.Read(rxBuffer_.bytes.data(), kBufferSize);
  if (n < 0 && !port_.IsOpen()) {
    PortVanished();
    return 0;
  }
  if (n < 0) {
    output_.PrintLine("Unable to read");
    return 0;
  }
  rxBuffer_.count = std::min(n, kBufferSize);
  return rxBuffer_.count;
}

void BootProtocol::PortVanished() {
  // The adapter was pulled: every further write and read would fail the same
  // way, so one line says it and the exchange stops here.
  if (lost_) return;
  lost_ = true;
  output_.PrintLine("Hardware lost");
}

void BootProtocol::SendLong(std::uint32_t value) {
  for (int k = 0; k < kLongBytes - 1; ++k) {
    QueueByte(static_cast<std::uint8_t>(kLongBitsByte | (value & 1) |
                                        ((value >> 1) & 1) << 3 |
                                        ((value >> 2) & 1) << 6));
    value >>= 3;
  }
  QueueByte(static_cast<std::uint8_t>(kLongLastByte | (value & 1) |
                                      ((value >> 1) & 1) << 3));
}

int BootProtocol::ReplyBit(int clock, int budgetMs) {
  for (;;) {
    if (lost_) return -1;
    if (budgetMs <= 0) {
      output_.PrintLine("Time Out");
      return -1;
    }
    if (clock != 0) {
      QueueByte(kClockByte);
      FlushTx();
      clock_.SleepMs(kClockWaitMs);
      budgetMs -= kClockWaitMs;
    }
    // A refill is only looked at in the next pass, after its clock and wait.
    if (rxBuffer_.position >= rxBuffer_.count) {
      FillRx();
    } else {
      std::uint8_t byte = rxBuffer_.bytes[rxBuffer_.position++];
      if (byte == kBitZero) return 0;
      if (byte == kBitOne) return 1;
      output_.PrintLine("Hardware lost");
    }
    clock_.SleepMs(kPollWaitMs);
    budgetMs -= kPollWaitMs;
  }
}

int BootProtocol::Handshake() {
  // A handshake follows a reset: anything still buffered was sent before it
  // and would be taken for the first echo bits.
  rxBuffer_.position = 0;
  rxBuffer_.count = 0;
  for (std::uint8_t byte : boot::HostBytes()) QueueByte(byte);
  // Clocks for every reply bit go out in advance.
  for (int i = 0; i < kEchoBits + kVersionBits; ++i) QueueByte(kClockByte);
  FlushTx();

  const boot::ChipAnswer answer = boot::ReadChipAnswer(
      [this](int budgetMs) { return ReplyBit(0, budgetMs); }, kEchoBudgetMs,
      kVersionBudgetMs);
  if (!answer.echoed || lost_) return -1;
  output_.PrintLine("Propeller Version = " + std::to_string(answer.version));
  return answer.version;
}

bool BootProtocol::Download(int byteLength, const LoaderImage& image,
                            int eepromMode) {
  // Never read past the image, whatever length the caller claims.
  int length = std::clamp(byteLength, 0, kMaxImageBytes);
  if (eepromMode != 0) {
    SendLong(kCommandProgramEeprom);
    FlushTx();
    length = kEepromBytes;
    SendLong(static_cast<std::uint32_t>(length >> 2));
    FlushTx();
    output_.PrintLine("Write in EEPROM Lenght=" + std::to_string(length));
  } else {
    SendLong(kCommandLoadRam);
    FlushTx();
    SendLong(static_cast<std::uint32_t>(length >> 2));
    FlushTx();
    output_.PrintLine("Write in RAM Lenght=" + std::to_string(length));
  }

  for (int i = 0; i < (length >> 2) && !lost_; ++i) SendLong(image[i]);
  FlushTx();
  if (lost_) return false;
  output_.PrintLine("Verify ..");

  const int checksum = ReplyBit(1, kChecksumBudgetMs);
  if (lost_) return false;
  if (checksum != 0) {
    output_.PrintLine("CheckSum Error");
    return false;
  }

  bool failed = false;
  if (eepromMode != 0) {
    // A programming reply that never comes is tolerated: the verification
    // result that follows is what proves the EEPROM.
    const int programmed = ReplyBit(1, kProgramBudgetMs);
    if (lost_) return false;
    if (programmed == 1) {
      output_.PrintLine("EEPROM write Error");
      failed = true;
    } else if (ReplyBit(1, kVerifyBudgetMs) != 0 && !lost_) {
      // No verification answer proves nothing, so it is not reported as a
      // good upload.
      output_.PrintLine("EEPROM verify Error");
      failed = true;
    }
  }
  if (!failed && !lost_) output_.PrintLine("..OK -> RUN");
  return !failed && !lost_;
}

}  // namespace kestrix
