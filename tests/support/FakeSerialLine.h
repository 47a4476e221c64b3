#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "terminal/SerialLine.h"

namespace kestrix::test {

// A serial line with scripted COM ports: only the numbers in `existingPorts`
// open. Every operation is recorded in `events`, in order ("open 6 @0 ft0",
// "open 3 @0 ft0 failed", "close", "baud 4", "DTR+", "RTS-", "purge",
// "write 3"), and also appended to `sharedLog` when one is given, so a test
// can see the line's calls among those of the other doubles.
class FakeSerialLine : public SerialLine {
 public:
  std::set<int> existingPorts;
  std::vector<std::string> events;
  std::vector<std::string>* sharedLog = nullptr;
  std::deque<std::uint8_t> incoming;
  std::vector<std::vector<std::uint8_t>> writes;
  int readCalls = 0;
  // The port number and baud index of the open port (or the last one).
  int openNumber = 0;
  int baudIndex = -1;
  // Runs on every write (a device answering on the wire).
  std::function<void(const std::uint8_t*, int)> onWrite;

  void Feed(const std::vector<std::uint8_t>& bytes);
  void Feed(const std::string& bytes);
  // The adapter vanished: the port is closed without ClosePort.
  void Lose();
  std::vector<std::uint8_t> Written() const;
  // Only the events that start with one of `kinds` ("open", "baud", ...).
  std::vector<std::string> EventsOf(
      const std::vector<std::string>& kinds) const;

  bool IsOpen() const override { return open_; }
  int Write(const std::uint8_t* data, int count) override;
  int Read(std::uint8_t* data, int max) override;
  void PurgeReceive() override;
  void SetDtr(bool asserted) override;
  void SetRts(bool asserted) override;
  bool OpenPort(const std::string& numberText, int baudIndex,
                int ft232r) override;
  void ClosePort() override;
  void SetBaud(int index) override;

 private:
  void Record(const std::string& event);
  bool open_ = false;
};

}  // namespace kestrix::test
