#include "sim/SimulatedPropeller.h"

#include <bit>
#include <utility>

namespace kestrix::sim {

namespace {
constexpr int kHostBitCount = 250;
constexpr int kEchoBitCount = 250;
constexpr int kVersionBitCount = 8;
constexpr int kBytesPerLong = 11;
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
  for (; n < max && !replies_.empty(); ++n) {
    out[n] = replies_.front();
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
    case Phase::kWaitCalibration:  // anything else is line noise
      if (byte == 0xF9) phase_ = Phase::kHostBits;
      return;

    case Phase::kHostBits: {
      const int expected = ChipLfsrBit();
      ++record_.hostBitsReceived;
      if (byte != (expected ? 0xFF : 0xFE)) {
        phase_ = Phase::kRejected;
      } else if (record_.hostBitsReceived == kHostBitCount) {
        record_.hostBitsOk = true;
        phase_ = Phase::kHandshakeReplies;
      }
      return;
    }

    case Phase::kHandshakeReplies: {
      if (byte != 0xF9) return;
      const int index = record_.handshakeClocks++;
      const int bit = index < kEchoBitCount
                          ? ChipLfsrBit() ^ (index == options_.flipEchoBit)
                          : (options_.version >> (index - kEchoBitCount)) & 1;
      if (options_.handshakeReplies < 0 || index < options_.handshakeReplies) {
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
    case Phase::kImage: {
      longBytes_.push_back(byte);
      if (static_cast<int>(longBytes_.size()) < kBytesPerLong) return;
      std::uint32_t value = 0;
      for (int bit = 0; bit < 32; ++bit) {
        if ((longBytes_[bit / 3] >> (bit % 3 * 3)) & 1) value |= 1u << bit;
      }
      // Every byte but the last carries fixed bits 0x92 around its three.
      for (int k = 0; k < kBytesPerLong; ++k) {
        const bool last = k == kBytesPerLong - 1;
        if ((longBytes_[k] & (last ? 0xF6 : 0xB6)) != (last ? 0xF2 : 0x92)) {
          record_.longsWellFormed = false;
        }
      }
      longBytes_.clear();
      OnLong(value);
      return;
    }

    case Phase::kStatus:
      if (byte == 0xF9) OnStatusClock();
      return;

    default:
      return;
  }
}

void SimulatedPropeller::OnLong(std::uint32_t value) {
  if (phase_ == Phase::kCommand) {
    record_.command = value;
    phase_ = value == 1 || value == 3 ? Phase::kLength
             : value == 0             ? Phase::kShutDown
                                      : Phase::kRejected;
  } else if (phase_ == Phase::kLength) {
    record_.lengthLongs = value;
    if (value == 0) {
      EnterStatus();
    } else {
      phase_ = Phase::kImage;
    }
  } else {
    record_.longs.push_back(value);
    if (std::ssize(record_.longs) == record_.lengthLongs) EnterStatus();
  }
}

void SimulatedPropeller::EnterStatus() {
  if (options_.silentAfterImage) {
    phase_ = Phase::kHung;
    return;
  }
  phase_ = Phase::kStatus;
  statusPlan_ = {{options_.checksumError ? 1 : 0, true}};
  if (record_.command == 3 && !options_.checksumError) {
    statusPlan_.push_back({options_.eepromWriteError ? 1 : 0, false});
    statusPlan_.push_back({options_.eepromVerifyError ? 1 : 0, false});
  }
}

void SimulatedPropeller::OnStatusClock() {
  if (nowMs_ < busyUntilMs_) return;  // still programming the EEPROM
  const StatusReply reply = statusPlan_.front();
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

}  // namespace kestrix::sim
