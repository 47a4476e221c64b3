#pragma once

#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "core/SerialLine.h"
#include "support/FakePort.h"

namespace kestrix::test {

// A serial line on which only `existingPorts` open. All but reads are logged:
// "port open 6 @0 ft0", "port open 3 @0 ft0 failed", "port baud 4", ...
class FakeSerialLine : public ScriptedPort<SerialLine> {
 public:
  explicit FakeSerialLine(std::vector<std::string>& log) : log_(log) {
    open = false;
  }

  std::set<int> existingPorts;
  int readCalls = 0;
  std::string adapters;  // what the line lists for the Com-Port requester

  void Feed(const std::string& bytes) { ScriptedPort::Feed(bytes); }
  // The adapter vanished: closed without ClosePort.
  void Lose() {
    open = false;
    incoming.clear();
  }

  int Write(const std::uint8_t* data, int count) override {
    if (open) Record("write " + std::to_string(count));
    return ScriptedPort::Write(data, count);
  }
  int Read(std::uint8_t* data, int max) override {
    ++readCalls;
    return ScriptedPort::Read(data, max);
  }
  void PurgeReceive() override {
    Record("purge");
    ScriptedPort::PurgeReceive();
  }
  void SetDtr(bool on) override { Record(on ? "DTR+" : "DTR-"); }
  void SetRts(bool on) override { Record(on ? "RTS+" : "RTS-"); }
  bool OpenPort(const std::string& numberText, int index, bool ft232r) override {
    open = existingPorts.count(std::atoi(numberText.c_str())) > 0;
    Record("open " + numberText + " @" + std::to_string(index) + " ft" +
           (ft232r ? "1" : "0") + (open ? "" : " failed"));
    return open;
  }
  void ClosePort() override {
    Record("close");
    Lose();
  }
  void SetBaud(int index) override { Record("baud " + std::to_string(index)); }
  std::string OpenFailure(const std::string& numberText) const override {
    return "COM" + numberText + " is /dev/fake" + numberText + ".";
  }
  std::string AdaptersPresent() const override { return adapters; }

 private:
  void Record(const std::string& event) { log_.push_back("port " + event); }
  std::vector<std::string>& log_;
};

}  // namespace kestrix::test
