#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "terminal/BytePort.h"

namespace kestrix::test {

// A port whose incoming bytes are scripted by the test and whose outgoing
// bytes are recorded, one entry per write.
class FakePort : public BytePort {
 public:
  bool open = true;
  std::deque<std::uint8_t> incoming;
  std::vector<std::vector<std::uint8_t>> writes;
  int purges = 0;
  std::vector<std::string> lineEvents;  // "DTR+", "DTR-", "RTS+", "RTS-"
  // Optional hook run on every write (a device answering on the wire).
  std::function<void(const std::uint8_t*, int)> onWrite;

  void Feed(const std::vector<std::uint8_t>& bytes) {
    incoming.insert(incoming.end(), bytes.begin(), bytes.end());
  }
  void Feed(const std::string& bytes) {
    incoming.insert(incoming.end(), bytes.begin(), bytes.end());
  }
  // All bytes written, in order.
  std::vector<std::uint8_t> Written() const;
  std::string WrittenText() const;

  bool IsOpen() const override { return open; }
  int Write(const std::uint8_t* data, int count) override;
  int Read(std::uint8_t* data, int max) override;
  void PurgeReceive() override {
    ++purges;
    incoming.clear();
  }
  void SetDtr(bool on) override { lineEvents.push_back(on ? "DTR+" : "DTR-"); }
  void SetRts(bool on) override { lineEvents.push_back(on ? "RTS+" : "RTS-"); }
};

}  // namespace kestrix::test
