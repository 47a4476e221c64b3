#include "support/FakePort.h"

#include <algorithm>

namespace kestrix::test {

std::vector<std::uint8_t> FakePort::Written() const {
  std::vector<std::uint8_t> all;
  for (const auto& w : writes) all.insert(all.end(), w.begin(), w.end());
  return all;
}

std::string FakePort::WrittenText() const {
  auto all = Written();
  return std::string(all.begin(), all.end());
}

int FakePort::Write(const std::uint8_t* data, int count) {
  if (!open) return -1;
  writes.emplace_back(data, data + count);
  if (onWrite) onWrite(data, count);
  return count;
}

int FakePort::Read(std::uint8_t* data, int max) {
  if (!open) return -1;
  int n = std::min<int>(max, static_cast<int>(incoming.size()));
  for (int i = 0; i < n; ++i) {
    data[i] = incoming.front();
    incoming.pop_front();
  }
  return n;
}

}  // namespace kestrix::test
