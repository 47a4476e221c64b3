#include "sim/P2Monitor.h"

#include <algorithm>

namespace kestrix::sim {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

P2Monitor::P2Monitor() : hub_(kHubBytes, -1) {}

void P2Monitor::OnHostBytes(const std::uint8_t* data, int count, std::int64_t) {
  for (int i = 0; i < count; ++i) {
    if (echo_.size() == kEchoLimit) {
      echo_.pop_front();
      ++echoDropped_;
    }
    echo_.push_back(data[i]);
    Take(static_cast<char>(data[i]));
  }
}

int P2Monitor::TakeReplies(std::uint8_t* out, int max) {
  const int n = std::min<int>(max, static_cast<int>(echo_.size()));
  std::copy_n(echo_.begin(), n, out);
  echo_.erase(echo_.begin(), echo_.begin() + n);
  return n;
}

int P2Monitor::HubByte(std::uint32_t address) const {
  return address < kHubBytes ? hub_[address] : -1;
}

std::optional<std::uint32_t> P2Monitor::StartAddress() const {
  if (startAddress_) return startAddress_;
  if (inStartCommand_ && digitCount_ > 0) return digits_;
  return std::nullopt;
}

void P2Monitor::Take(char c) {
  const int digit = HexDigit(c);
  if (digit >= 0) {
    digits_ = (digits_ << 4) | static_cast<std::uint32_t>(digit);
    ++digitCount_;
    return;
  }
  switch (c) {
    case ':':
      if (digitCount_ == 0 || inStartCommand_) ++errors_;
      address_ = digits_;
      digits_ = 0;
      digitCount_ = 0;
      return;
    case '+':
      // "0+" is the start command; its address follows.
      if (digitCount_ != 1 || digits_ != 0 || inStartCommand_) ++errors_;
      inStartCommand_ = true;
      digits_ = 0;
      digitCount_ = 0;
      return;
    case ' ':
    case '\r':
    case '\n':
      EndItem();
      return;
    default:
      ++errors_;
  }
}

void P2Monitor::EndItem() {
  if (digitCount_ == 0) return;
  if (inStartCommand_) {
    if (startAddress_) ++errors_;
    startAddress_ = digits_;
  } else if (digitCount_ != 2 || !address_ || *address_ >= kHubBytes) {
    ++errors_;
  } else {
    if (hub_[*address_] < 0) ++loaded_;
    hub_[*address_] = static_cast<std::int16_t>(digits_);
    *address_ += 1;
  }
  digits_ = 0;
  digitCount_ = 0;
}

}  // namespace kestrix::sim
