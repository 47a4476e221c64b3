#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "sim/WireDevice.h"

namespace kestrix::sim {

// One lettered request a device program makes of the PC.
struct ClientRequest {
  char letter = 'f';
  std::string name;
  // "s": the text printed (and cleared away) before the name.
  std::string content;
  // "t": the number of typed lines (CRs) to wait for before going on.
  int typedLines = 0;
};

// How the device acknowledges binary blocks.
enum class Acknowledge { kAtOnce, kLate, kNever };

// What one request brought back.
struct ClientResult {
  std::vector<std::uint8_t> received;   // "f", "a": the file's bytes
  std::optional<std::uint32_t> length;  // "f", "a": the announced length
  std::optional<std::int32_t> size;     // "o": the answer
  std::string typed;                    // "t": everything typed
  bool complete = false;
};

// A program on the device that uses the PC as file server: for each request
// it clears the screen, prints the name and sends 5, 0x82, length, letter;
// then it takes the answer from the byte stream (a length and acknowledged
// 16-byte blocks, a 4-byte size, typed lines) before the next request.
class DeviceClient : public WireDevice {
 public:
  static constexpr std::uint8_t kAck = 'k';

  explicit DeviceClient(std::vector<ClientRequest> program,
                        Acknowledge acknowledge = Acknowledge::kAtOnce,
                        int lateMs = 50);

  void OnHostBytes(const std::uint8_t* data, int count,
                   std::int64_t nowMs) override;
  int TakeReplies(std::uint8_t* out, int max) override;

  const std::vector<ClientResult>& Results() const { return results_; }
  // Whether request `index` received exactly `expected`, with the right
  // announced length.
  bool ReceivedExactly(std::size_t index, const std::string& expected) const;
  bool Finished() const { return current_ >= program_.size(); }

 private:
  void Begin();
  void Advance();
  void Take(std::uint8_t byte);
  void Acknowledge(std::int64_t nowMs);

  std::vector<ClientRequest> program_;
  std::vector<ClientResult> results_;
  ::kestrix::sim::Acknowledge acknowledge_;
  int lateMs_;
  std::size_t current_ = 0;
  std::vector<std::uint8_t> header_;
  int typedLines_ = 0;
  std::optional<std::int64_t> ackDueMs_;
  std::int64_t nowMs_ = 0;
  std::deque<std::uint8_t> replies_;
};

}  // namespace kestrix::sim
