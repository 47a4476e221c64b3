#pragma once

#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "core/BytePort.h"

namespace kestrix::test {

// A 32-bit value as the wire carries it, low byte first.
inline std::string Le32(std::uint32_t v) {
  return {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
}
// Bytes first, first + step, ... (mod 256): neighbours and longs differ.
template <typename Bytes = std::string>
Bytes Ramp(int count, int first = 0, int step = 7) {
  Bytes bytes;
  for (int i = 0; i < count; ++i) bytes.push_back(char(first + i * step));
  return bytes;
}

// A port whose incoming bytes are scripted by the test and whose outgoing
// bytes are recorded, one entry per write. `Line` is the port interface.
template <typename Line>
class ScriptedPort : public Line {
 public:
  bool open = true;
  std::deque<std::uint8_t> incoming;
  std::vector<std::vector<std::uint8_t>> writes;
  std::vector<std::string> events;  // "DTR+", "DTR-", "RTS+", "RTS-", "purge"
  std::function<void(const std::uint8_t*, int)> onWrite;  // a device answering

  template <typename Bytes>
  void Feed(const Bytes& bytes) {
    incoming.insert(incoming.end(), bytes.begin(), bytes.end());
  }
  std::vector<std::uint8_t> Written() const {  // all bytes, in order
    std::vector<std::uint8_t> all;
    for (const auto& w : writes) all.insert(all.end(), w.begin(), w.end());
    return all;
  }
  std::string WrittenText() const {
    const auto all = Written();
    return {all.begin(), all.end()};
  }

  bool IsOpen() const override { return open; }
  int Write(const std::uint8_t* data, int count) override {
    if (!open) return -1;
    writes.emplace_back(data, data + count);
    if (onWrite) onWrite(data, count);
    return count;
  }
  int Read(std::uint8_t* data, int max) override {
    if (!open) return -1;
    const int n = std::min<int>(max, static_cast<int>(incoming.size()));
    std::copy_n(incoming.begin(), n, data);
    incoming.erase(incoming.begin(), incoming.begin() + n);
    return n;
  }
  void PurgeReceive() override {
    Event("purge");
    incoming.clear();
  }
  void SetDtr(bool on) override { Event(on ? "DTR+" : "DTR-"); }
  void SetRts(bool on) override { Event(on ? "RTS+" : "RTS-"); }

 protected:
  virtual void Event(const std::string& event) { events.push_back(event); }
};

using FakePort = ScriptedPort<BytePort>;

}  // namespace kestrix::test
