#pragma once

#include <cstdint>
#include <deque>
#include <vector>

#include "sim/WireDevice.h"

namespace kestrix::sim {

// A Propeller 1 boot ROM as seen from the serial line, built from the wire
// protocol alone: calibration 0xF9, 250 host LFSR bits (0xFE = 0, 0xFF = 1;
// seed 0x50, taps 7, 5, 4, 1), then one reply bit per clock byte 0xF9 (250
// echo bits, the version LSB first), longs of 11 bytes (three bits per byte
// at 0, 3, 6): command (0 shut down, 1 RAM, 3 EEPROM), length, image; then
// status bits (checksum, EEPROM write, EEPROM verify; 0 = good).
class SimulatedPropeller : public WireDevice {
 public:
  struct Options {
    int version = 1;
    int eepromProgramMs = 0;  // clock bytes meanwhile get no answer
    // Faults.
    bool silent = false;        // nothing is ever sent
    int flipEchoBit = -1;       // this echo bit (0..249) is inverted
    int handshakeReplies = -1;  // answer only this many of the 258 bits
    std::vector<std::uint8_t> noiseBeforeEcho;
    std::vector<std::uint8_t> noiseBeforeChecksum;
    bool checksumError = false;
    bool eepromWriteError = false;
    bool eepromVerifyError = false;
    bool silentAfterImage = false;  // no status bit at all
  };

  // From kRunning on the chip is between sessions; kRejected follows bad
  // host bits, command or checksum; kHung a silence after the image.
  enum class Phase {
    kWaitCalibration,
    kHostBits,
    kHandshakeReplies,
    kCommand,
    kLength,
    kImage,
    kStatus,
    kRunning,
    kShutDown,
    kRejected,
    kHung
  };

  // What one session (since the last reset) decoded.
  struct Record {
    int hostBitsReceived = 0;
    bool hostBitsOk = false;
    int handshakeClocks = 0;
    bool longsWellFormed = true;  // every long byte had its fixed bits
    std::int64_t command = -1;
    std::int64_t lengthLongs = -1;
    std::vector<std::uint32_t> longs;
    std::vector<int> statusBitsSent;

    // The image as bytes, first byte of each long least significant.
    std::vector<std::uint8_t> ImageBytes() const;
  };

  SimulatedPropeller();
  explicit SimulatedPropeller(Options options);

  Options& options() { return options_; }

  void Reset();  // replies already sent stay on the line
  // At the chip's current time, which AdvanceMs and SetNowMs set.
  void OnHostBytes(const std::uint8_t* data, int count);
  void OnHostBytes(const std::uint8_t* data, int count,
                   std::int64_t nowMs) override {
    nowMs_ = nowMs;
    OnHostBytes(data, count);
  }

  // The chip's time, for the EEPROM programming delay.
  void AdvanceMs(std::int64_t ms) { nowMs_ += ms; }
  void SetNowMs(std::int64_t ms) { nowMs_ = ms; }

  int TakeReplies(std::uint8_t* out, int max) override;
  void DropReplies() { replies_.clear(); }

  Phase phase() const { return phase_; }
  const Record& record() const { return record_; }
  int resets() const { return resets_; }
  bool BetweenSessions() const;

 private:
  struct StatusReply {
    int bit;
    bool isChecksum;
  };

  void OnByte(std::uint8_t byte);
  void OnLong(std::uint32_t value);
  void EnterStatus();
  void OnStatusClock();
  void Send(std::uint8_t byte);
  void SendBit(int bit);
  int ChipLfsrBit();

  Options options_;
  Phase phase_ = Phase::kWaitCalibration;
  Record record_;
  int resets_ = 0;
  std::int64_t nowMs_ = 0;
  std::uint8_t lfsr_ = 0x50;
  std::vector<std::uint8_t> longBytes_;
  std::deque<StatusReply> statusPlan_;
  std::int64_t busyUntilMs_ = 0;
  std::deque<std::uint8_t> replies_;
};

}  // namespace kestrix::sim
