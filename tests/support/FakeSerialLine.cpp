#include "support/FakeSerialLine.h"

#include <algorithm>

namespace kestrix::test {

namespace {
// Port numbers arrive as decimal text; anything else names no port.
int PortNumber(const std::string& text) {
  if (text.empty() || text.size() > 6) return -1;
  int n = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return -1;
    n = n * 10 + (c - '0');
  }
  return n;
}
}  // namespace

void FakeSerialLine::Record(const std::string& event) {
  events.push_back(event);
  if (sharedLog != nullptr) sharedLog->push_back("port " + event);
}

void FakeSerialLine::Feed(const std::vector<std::uint8_t>& bytes) {
  incoming.insert(incoming.end(), bytes.begin(), bytes.end());
}

void FakeSerialLine::Feed(const std::string& bytes) {
  incoming.insert(incoming.end(), bytes.begin(), bytes.end());
}

void FakeSerialLine::Lose() {
  open_ = false;
  incoming.clear();
}

std::vector<std::uint8_t> FakeSerialLine::Written() const {
  std::vector<std::uint8_t> all;
  for (const auto& w : writes) all.insert(all.end(), w.begin(), w.end());
  return all;
}

std::vector<std::string> FakeSerialLine::EventsOf(
    const std::vector<std::string>& kinds) const {
  std::vector<std::string> out;
  for (const auto& e : events) {
    for (const auto& k : kinds) {
      if (e.rfind(k, 0) == 0) {
        out.push_back(e);
        break;
      }
    }
  }
  return out;
}

int FakeSerialLine::Write(const std::uint8_t* data, int count) {
  if (!open_) return -1;
  writes.emplace_back(data, data + count);
  Record("write " + std::to_string(count));
  if (onWrite) onWrite(data, count);
  return count;
}

int FakeSerialLine::Read(std::uint8_t* data, int max) {
  ++readCalls;
  if (!open_) return -1;
  const int n = std::min<int>(max, static_cast<int>(incoming.size()));
  for (int i = 0; i < n; ++i) {
    data[i] = incoming.front();
    incoming.pop_front();
  }
  return n;
}

void FakeSerialLine::PurgeReceive() {
  Record("purge");
  incoming.clear();
}

void FakeSerialLine::SetDtr(bool asserted) {
  Record(asserted ? "DTR+" : "DTR-");
}

void FakeSerialLine::SetRts(bool asserted) {
  Record(asserted ? "RTS+" : "RTS-");
}

bool FakeSerialLine::OpenPort(const std::string& numberText, int index,
                              int ft232r) {
  const std::string call = "open " + numberText + " @" + std::to_string(index) +
                           " ft" + std::to_string(ft232r);
  const int number = PortNumber(numberText);
  if (existingPorts.count(number) == 0) {
    open_ = false;
    Record(call + " failed");
    return false;
  }
  open_ = true;
  openNumber = number;
  baudIndex = index;
  Record(call);
  return true;
}

void FakeSerialLine::ClosePort() {
  Record("close");
  open_ = false;
  incoming.clear();
}

void FakeSerialLine::SetBaud(int index) {
  Record("baud " + std::to_string(index));
  if (open_) baudIndex = index;
}

}  // namespace kestrix::test
