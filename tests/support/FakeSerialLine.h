#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <set>
#include <string>
#include <vector>

#include "core/SerialLine.h"

namespace kestrix::test {

// A serial line on which only `existingPorts` open. All but reads are logged:
// "port open 6 @0 ft0", "port open 3 @0 ft0 failed", "port baud 4", ...
class FakeSerialLine : public SerialLine {
 public:
  explicit FakeSerialLine(std::vector<std::string>& log) : log_(log) {}

  std::set<int> existingPorts;
  std::deque<std::uint8_t> incoming;
  std::vector<std::vector<std::uint8_t>> writes;
  int readCalls = 0;

  void Feed(const std::string& bytes) {
    incoming.insert(incoming.end(), bytes.begin(), bytes.end());
  }
  // The adapter vanished: closed without ClosePort.
  void Lose() {
    open_ = false;
    incoming.clear();
  }

  bool IsOpen() const override { return open_; }
  int Write(const std::uint8_t* data, int count) override {
    if (!open_) return -1;
    writes.emplace_back(data, data + count);
    Record("write " + std::to_string(count));
    return count;
  }
  int Read(std::uint8_t* data, int max) override {
    ++readCalls;
    if (!open_) return -1;
    const int n = std::min<int>(max, static_cast<int>(incoming.size()));
    std::copy_n(incoming.begin(), n, data);
    incoming.erase(incoming.begin(), incoming.begin() + n);
    return n;
  }
  void PurgeReceive() override {
    Record("purge");
    incoming.clear();
  }
  void SetDtr(bool on) override { Record(on ? "DTR+" : "DTR-"); }
  void SetRts(bool on) override { Record(on ? "RTS+" : "RTS-"); }
  bool OpenPort(const std::string& numberText, int index, int ft232r) override {
    open_ = existingPorts.count(std::atoi(numberText.c_str())) > 0;
    Record("open " + numberText + " @" + std::to_string(index) + " ft" +
           std::to_string(ft232r) + (open_ ? "" : " failed"));
    return open_;
  }
  void ClosePort() override {
    Record("close");
    Lose();
  }
  void SetBaud(int index) override { Record("baud " + std::to_string(index)); }

 private:
  void Record(const std::string& event) { log_.push_back("port " + event); }
  std::vector<std::string>& log_;
  bool open_ = false;
};

}  // namespace kestrix::test
