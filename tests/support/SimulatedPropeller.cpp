#include "support/SimulatedPropeller.h"

#include <bit>
#include <utility>

namespace kestrix::test {

namespace {
constexpr int kHostBitCount = 250;
constexpr int kEchoBitCount = 250;
constexpr int kVersionBitCount = 8;
constexpr int kBytesPerLong = 11;
// Feedback taps of the boot LFSR: bits 7, 5, 4 and 1 of the state.
constexpr unsigned kLfsrTaps = 0b1011'0010;
}  // namespace

std::vector<std::uint8_t> SimulatedPropeller::Record::ImageBytes() const {
  std::vector<std::uint8_t> bytes;
  for (std::uint32_t v : longs) {
    for (int i = 0; i < 4; ++i) bytes.push_back((v >> (8 * i)) & 0xFF);
  }
  return bytes;
}

SimulatedPropeller::SimulatedPropeller() : SimulatedPropeller(Options{}) {}

SimulatedPropeller::SimulatedPropeller(Options options)
    : options_(std::move(options)) {}

void SimulatedPropeller::Reset() {
  ++resets_;
  phase_ = Phase::kWaitCalibration;
  record_ = Record{};
  lfsr_ = 0x50;
  longBytes_.clear();
  statusPlan_.clear();
  busyUntilMs_ = 0;
}

bool SimulatedPropeller::BetweenSessions() const {
  return phase_ == Phase::kWaitCalibration || phase_ >= Phase::kRunning;
}

int SimulatedPropeller::TakeReplies(std::uint8_t* out, int max) {
  int n = 0;
  while (n < max && !replies_.empty()) {
    out[n++] = replies_.front();
    replies_.pop_front();
  }
  return n;
}

void SimulatedPropeller::OnHostBytes(const std::uint8_t* data, int count) {
  for (int i = 0; i < count; ++i) OnByte(data[i]);
}

int SimulatedPropeller::ChipLfsrBit() {
  int out = lfsr_ & 1;
  unsigned feedback = std::popcount(lfsr_ & kLfsrTaps) & 1u;
  lfsr_ = static_cast<std::uint8_t>((lfsr_ << 1) | feedback);
  return out;
}

void SimulatedPropeller::Send(std::uint8_t byte) {
  if (!options_.silent) replies_.push_back(byte);
}

void SimulatedPropeller::SendBit(int bit) { Send(bit ? 0xFF : 0xFE); }

void SimulatedPropeller::OnByte(std::uint8_t byte) {
  switch (phase_) {
    case Phase::kWaitCalibration:
      // Anything before the calibration byte is line noise to the ROM.
      if (byte == 0xF9) {
        record_.calibrated = true;
        phase_ = Phase::kHostBits;
      }
      return;

    case Phase::kHostBits: {
      int expected = ChipLfsrBit();
      bool ok =
          (byte == 0xFE && expected == 0) || (byte == 0xFF && expected == 1);
      ++record_.hostBitsReceived;
      if (!ok) {
        // The ROM gives up on a host that does not know the sequence.
        phase_ = Phase::kRejected;
        return;
      }
      if (record_.hostBitsReceived == kHostBitCount) {
        record_.hostBitsOk = true;
        phase_ = Phase::kHandshakeReplies;
      }
      return;
    }

    case Phase::kHandshakeReplies: {
      if (byte != 0xF9) return;
      int index = record_.handshakeClocks++;
      bool answer =
          options_.handshakeReplies < 0 || index < options_.handshakeReplies;
      int bit;
      if (index < kEchoBitCount) {
        bit = ChipLfsrBit();
        if (index == options_.flipEchoBit) bit ^= 1;
      } else {
        bit = (options_.version >> (index - kEchoBitCount)) & 1;
      }
      if (answer) {
        if (index == 0) {
          for (std::uint8_t b : options_.noiseBeforeEcho) Send(b);
        }
        SendBit(bit);
      }
      if (record_.handshakeClocks == kEchoBitCount + kVersionBitCount) {
        phase_ = Phase::kCommand;
      }
      return;
    }

    case Phase::kCommand:
    case Phase::kLength:
    case Phase::kImage:
      longBytes_.push_back(byte);
      if (static_cast<int>(longBytes_.size()) == kBytesPerLong) {
        std::uint32_t value = 0;
        for (int bit = 0; bit < 32; ++bit) {
          std::uint8_t carrier = longBytes_[bit / 3];
          int position = (bit % 3) * 3;
          if ((carrier >> position) & 1) value |= std::uint32_t{1} << bit;
        }
        for (int k = 0; k < kBytesPerLong - 1; ++k) {
          if ((longBytes_[k] & 0xB6) != 0x92) record_.longsWellFormed = false;
        }
        if ((longBytes_[kBytesPerLong - 1] & 0xF6) != 0xF2) {
          record_.longsWellFormed = false;
        }
        longBytes_.clear();
        OnLong(value);
      }
      return;

    case Phase::kStatus:
      if (byte == 0xF9) OnStatusClock();
      return;

    case Phase::kRunning:
    case Phase::kShutDown:
    case Phase::kRejected:
    case Phase::kHung:
      return;
  }
}

void SimulatedPropeller::OnLong(std::uint32_t value) {
  switch (phase_) {
    case Phase::kCommand:
      record_.command = value;
      if (value == 1 || value == 3) {
        phase_ = Phase::kLength;
      } else if (value == 0) {
        phase_ = Phase::kShutDown;
      } else {
        phase_ = Phase::kRejected;
      }
      return;
    case Phase::kLength:
      record_.lengthLongs = value;
      if (value == 0) {
        EnterStatus();
      } else {
        phase_ = Phase::kImage;
      }
      return;
    case Phase::kImage:
      record_.longs.push_back(value);
      if (static_cast<std::int64_t>(record_.longs.size()) ==
          record_.lengthLongs) {
        EnterStatus();
      }
      return;
    default:
      return;
  }
}

void SimulatedPropeller::EnterStatus() {
  if (options_.silentAfterImage) {
    phase_ = Phase::kHung;
    return;
  }
  phase_ = Phase::kStatus;
  statusPlan_.clear();
  statusPlan_.push_back({options_.checksumError ? 1 : 0, true});
  if (record_.command == 3 && !options_.checksumError) {
    statusPlan_.push_back({options_.eepromWriteError ? 1 : 0, false});
    statusPlan_.push_back({options_.eepromVerifyError ? 1 : 0, false});
  }
}

void SimulatedPropeller::OnStatusClock() {
  ++record_.statusClocks;
  if (nowMs_ < busyUntilMs_) return;  // still programming the EEPROM
  StatusReply reply = statusPlan_.front();
  statusPlan_.pop_front();
  if (reply.isChecksum) {
    for (std::uint8_t b : options_.noiseBeforeChecksum) Send(b);
    busyUntilMs_ = nowMs_ + options_.eepromProgramMs;
  }
  SendBit(reply.bit);
  record_.statusBitsSent.push_back(reply.bit);
  if (statusPlan_.empty()) {
    phase_ = reply.isChecksum && reply.bit ? Phase::kRejected : Phase::kRunning;
  }
}

}  // namespace kestrix::test
