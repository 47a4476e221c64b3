#pragma once

#include <array>
#include <cstdint>

#include "core/BytePort.h"
#include "core/Clock.h"
#include "core/TextOutput.h"
#include "loader/BootWire.h"
#include "loader/LoaderImage.h"

namespace kestrix {

// The Propeller 1 ROM boot loader's serial protocol. Right after a reset the
// chip waits for a host that proves itself with 250 bits of a known LFSR
// sequence, answers with the next 250 bits and its version, then takes a
// command, a length and an image of longs and answers with status bits.
//
// The protocol moves hundreds of single bytes each way, so it keeps its own
// buffered channel on the port: outgoing bytes collect in a 256-byte transmit
// buffer, replies are read in blocks of up to 256 bytes and consumed one at a
// time. Progress and errors are shown as lines on the given output.
class BootProtocol {
 public:
  static constexpr int kBufferSize = 256;

  // Commands sent as the first long after the handshake.
  static constexpr std::uint32_t kCommandShutdown = 0;
  static constexpr std::uint32_t kCommandLoadRam = 1;
  static constexpr std::uint32_t kCommandProgramEeprom = 3;

  struct TxBuffer {
    std::array<std::uint8_t, kBufferSize> bytes{};
    int count = 0;
  };
  struct RxBuffer {
    std::array<std::uint8_t, kBufferSize> bytes{};
    int position = 0;
    int count = 0;
  };

  BootProtocol(BytePort& port, Clock& clock, TextOutput& output);

  // Appends a byte; a full buffer is written at once.
  void QueueByte(std::uint8_t byte);
  // Writes whatever is queued in one write and empties the queue, also when
  // the write failed or came up short (those bytes are lost; a line says so).
  void FlushTx();
  // Replaces the receive buffer with one non-blocking read; returns the count.
  int FillRx();
  // Queues the 11 wire bytes of one long (three bits per byte). No flush.
  void SendLong(std::uint32_t value);
  // Waits for one reply bit: 0, 1, or -1 when the budget runs out. With clock
  // not 0 each pass first sends a clock byte for the chip to answer.
  int ReplyBit(int clock, int budgetMs);
  // Proves the host to a freshly reset chip. Returns the chip's version
  // (0..255), -1 when the echo failed, another negative value when version
  // bits went missing.
  int Handshake();
  // Sends the command, the length and the image after a good handshake and
  // reports the chip's status bits. eepromMode not 0 programs the EEPROM with
  // the first 8192 longs of the image whatever byteLength says. Returns true
  // when the chip confirmed the image (and, for the EEPROM, its programming).
  bool Download(int byteLength, const LoaderImage& image, int eepromMode);

  // Whether the port vanished during the exchange ("Hardware lost" was
  // shown once); nothing more is written or read after that.
  bool PortLost() const { return lost_; }

  // Read-only views for callers that care about left-overs.
  const TxBuffer& Tx() const { return txBuffer_; }
  const RxBuffer& Rx() const { return rxBuffer_; }

 private:
  void PortVanished();

  BytePort& port_;
  Clock& clock_;
  TextOutput& output_;
  TxBuffer txBuffer_;
  RxBuffer rxBuffer_;
  bool lost_ = false;
};

}  // namespace kestrix
