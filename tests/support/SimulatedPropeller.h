#pragma once

#include <cstdint>
#include <deque>
#include <vector>

namespace kestrix::test {

// A Propeller 1 boot ROM as seen from the serial line, built from the wire
// protocol alone. Fed with the host's bytes, it produces the chip's reply
// bytes into an output queue and records what it decoded, so that tests can
// compare the image that arrived with the file that was sent.
//
// Wire summary: after a reset the chip waits for the calibration byte 0xF9,
// then checks 250 host bits (0xFE = 0, 0xFF = 1) against its own LFSR
// (seed 0x50, feedback from bits 7, 5, 4 and 1). It answers one bit per
// clock byte 0xF9: the next 250 LFSR bits, then its version, least
// significant bit first. Then come longs of 11 bytes each (three bits per
// byte at positions 0, 3 and 6; the last byte carries bits 30 and 31): the
// command (0 shut down, 1 RAM, 3 EEPROM), the length in longs and the image.
// Status bits answer later clock bytes: the checksum (0 = good) and, for the
// EEPROM, the programming and verification results (0 = good).
class SimulatedPropeller {
 public:
  struct Options {
    int version = 1;
    // How long programming the EEPROM takes; clock bytes that arrive
    // meanwhile get no answer.
    int eepromProgramMs = 0;

    // Faults.
    bool silent = false;        // no chip on the line: nothing is ever sent
    int flipEchoBit = -1;       // echo bit k (0..249) is sent inverted
    int handshakeReplies = -1;  // answer only this many of the 258 bits
    std::vector<std::uint8_t> noiseBeforeEcho;      // sent before bit 0
    std::vector<std::uint8_t> noiseBeforeChecksum;  // sent before checksum
    bool checksumError = false;
    bool eepromWriteError = false;
    bool eepromVerifyError = false;
    bool silentAfterImage = false;  // no status bit at all
  };

  enum class Phase {
    kWaitCalibration,   // fresh from reset
    kHostBits,          // taking the host's 250 LFSR bits
    kHandshakeReplies,  // answering 258 clock bytes
    kCommand,
    kLength,
    kImage,
    kStatus,  // answering status bits on clock bytes
    // From here on the chip is between sessions.
    kRunning,   // booted the image
    kShutDown,  // told to shut down
    kRejected,  // bad host bits, bad command or bad checksum
    kHung,      // fault: silent after the image
  };

  // What one session (since the last reset) decoded.
  struct Record {
    bool calibrated = false;
    int hostBitsReceived = 0;
    bool hostBitsOk = false;  // all 250 host bits matched
    int handshakeClocks = 0;
    bool longsWellFormed = true;  // every long byte had its fixed bits
    std::int64_t command = -1;
    std::int64_t lengthLongs = -1;
    std::vector<std::uint32_t> longs;  // the image as decoded
    int statusClocks = 0;              // clock bytes after the image
    std::vector<int> statusBitsSent;

    // The image as bytes, first byte of each long least significant.
    std::vector<std::uint8_t> ImageBytes() const;
  };

  SimulatedPropeller();
  explicit SimulatedPropeller(Options options);

  Options& options() { return options_; }

  // A reset through a modem-control line: back to waiting for calibration.
  // Reply bytes already sent stay on the line.
  void Reset();
  void OnHostBytes(const std::uint8_t* data, int count);

  // Time as the chip sees it, for the EEPROM programming delay.
  void AdvanceMs(std::int64_t ms) { nowMs_ += ms; }
  void SetNowMs(std::int64_t ms) { nowMs_ = ms; }

  // Reply bytes waiting to be read by the host.
  int TakeReplies(std::uint8_t* out, int max);
  std::size_t PendingReplies() const { return replies_.size(); }
  void DropReplies() { replies_.clear(); }

  Phase phase() const { return phase_; }
  const Record& record() const { return record_; }
  int resets() const { return resets_; }
  // True when the chip is not in the middle of an exchange, so that a new
  // calibration byte can only mean a new session.
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

}  // namespace kestrix::test
