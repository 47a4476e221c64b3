#include "sim/DeviceClient.h"

#include <algorithm>

namespace kestrix::sim {
namespace {

// Wire codes of the device's side: clear screen, the escape that starts a
// four-byte command, and the lettered-request command byte.
constexpr std::uint8_t kClear = 0;
constexpr std::uint8_t kEscape = 5;
constexpr std::uint8_t kLetteredRequest = 0x82;
constexpr std::size_t kBlockBytes = 16;

bool Fetches(char letter) { return letter == 'f' || letter == 'a'; }

}  // namespace

DeviceClient::DeviceClient(std::vector<ClientRequest> program,
                           ::kestrix::sim::Acknowledge acknowledge, int lateMs)
    : program_(std::move(program)),
      results_(program_.size()),
      acknowledge_(acknowledge),
      lateMs_(lateMs) {
  Begin();
}

void DeviceClient::Begin() {
  while (current_ < program_.size()) {
    const ClientRequest& request = program_[current_];
    header_.clear();
    typedLines_ = 0;
    if (request.letter == 's') {
      replies_.push_back(kClear);
      replies_.insert(replies_.end(), request.content.begin(),
                      request.content.end());
    }
    replies_.push_back(kClear);
    replies_.insert(replies_.end(), request.name.begin(), request.name.end());
    replies_.push_back(kEscape);
    replies_.push_back(kLetteredRequest);
    replies_.push_back(static_cast<std::uint8_t>(request.name.size()));
    replies_.push_back(static_cast<std::uint8_t>(request.letter));
    const char letter = request.letter;
    if (Fetches(letter) || letter == 'o' ||
        (letter == 't' && request.typedLines > 0)) {
      return;  // wait for the answer
    }
    results_[current_].complete = true;
    ++current_;
  }
}

void DeviceClient::Advance() {
  results_[current_].complete = true;
  ++current_;
  Begin();
}

void DeviceClient::Acknowledge(std::int64_t nowMs) {
  switch (acknowledge_) {
    case Acknowledge::kAtOnce:
      replies_.push_back(kAck);
      break;
    case Acknowledge::kLate:
      ackDueMs_ = nowMs + lateMs_;
      break;
    case Acknowledge::kNever:
      break;
  }
}

void DeviceClient::OnHostBytes(const std::uint8_t* data, int count,
                               std::int64_t nowMs) {
  nowMs_ = nowMs;
  if (ackDueMs_ && nowMs >= *ackDueMs_) {
    ackDueMs_.reset();
    replies_.push_back(kAck);
  }
  for (int i = 0; i < count; ++i) Take(data[i]);
}

void DeviceClient::Take(std::uint8_t byte) {
  if (current_ >= program_.size()) return;
  const ClientRequest& request = program_[current_];
  ClientResult& result = results_[current_];
  if (request.letter == 't') {
    result.typed.push_back(static_cast<char>(byte));
    if (byte == '\r' && ++typedLines_ == request.typedLines) Advance();
    return;
  }
  if (header_.size() < 4) {
    header_.push_back(byte);
    if (header_.size() < 4) return;
    const std::uint32_t value = header_[0] | (header_[1] << 8) |
                                (header_[2] << 16) |
                                (static_cast<std::uint32_t>(header_[3]) << 24);
    if (request.letter == 'o') {
      result.size = static_cast<std::int32_t>(value);
      Advance();
      return;
    }
    result.length = value;
    if (value == 0) {
      Advance();
    } else {
      Acknowledge(nowMs_);
    }
    return;
  }
  result.received.push_back(byte);
  const std::size_t got = result.received.size();
  if (got >= *result.length) {
    Advance();
  } else if (got % kBlockBytes == 0) {
    Acknowledge(nowMs_);
  }
}

int DeviceClient::TakeReplies(std::uint8_t* out, int max) {
  const int n = std::min<int>(max, static_cast<int>(replies_.size()));
  std::copy_n(replies_.begin(), n, out);
  replies_.erase(replies_.begin(), replies_.begin() + n);
  return n;
}

bool DeviceClient::ReceivedExactly(std::size_t index,
                                   const std::string& expected) const {
  if (index >= results_.size()) return false;
  const ClientResult& result = results_[index];
  return result.length == expected.size() &&
         std::equal(result.received.begin(), result.received.end(),
                    expected.begin(), expected.end(),
                    [](std::uint8_t got, char want) {
                      return got == static_cast<std::uint8_t>(want);
                    });
}

}  // namespace kestrix::sim
