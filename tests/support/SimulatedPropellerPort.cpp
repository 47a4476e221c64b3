#include "support/SimulatedPropellerPort.h"

#include <algorithm>

namespace kestrix::test {

void SimulatedPropellerPort::FollowClock(VirtualClock& clock) {
  clock.onSleep = [this](int ms) { chip_.AdvanceMs(ms); };
}

std::vector<std::uint8_t> SimulatedPropellerPort::Written() const {
  std::vector<std::uint8_t> all;
  for (const auto& w : writes) all.insert(all.end(), w.begin(), w.end());
  return all;
}

std::vector<int> SimulatedPropellerPort::WriteSizes() const {
  std::vector<int> sizes;
  for (const auto& w : writes) sizes.push_back(static_cast<int>(w.size()));
  return sizes;
}

int SimulatedPropellerPort::Write(const std::uint8_t* data, int count) {
  if (!open) return -1;
  int n = writeLimit < 0 ? count : std::min(count, writeLimit);
  writes.emplace_back(data, data + n);
  chip_.OnHostBytes(data, n);
  return n;
}

int SimulatedPropellerPort::Read(std::uint8_t* data, int max) {
  if (!open || failReads) return -1;
  return chip_.TakeReplies(data, max);
}

void SimulatedPropellerPort::PurgeReceive() {
  ++purges;
  chip_.DropReplies();
}

// The board's reset circuit fires on the line being asserted.
void SimulatedPropellerPort::SetDtr(bool asserted) {
  lineEvents.push_back(asserted ? "DTR+" : "DTR-");
  if (asserted && !dtr_) chip_.Reset();
  dtr_ = asserted;
}

void SimulatedPropellerPort::SetRts(bool asserted) {
  lineEvents.push_back(asserted ? "RTS+" : "RTS-");
  if (asserted && !rts_) chip_.Reset();
  rts_ = asserted;
}

}  // namespace kestrix::test
