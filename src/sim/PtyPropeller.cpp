#include "sim/PtyPropeller.h"

#include <chrono>
#include <thread>

namespace kestrix::sim {

void PtyPropeller::OnHostBytes(const std::uint8_t* data, int count,
                               std::int64_t nowMs) {
  constexpr std::uint8_t kCalibration = 0xF9;
  for (int i = 0; i < count; ++i) {
    const std::uint8_t byte = data[i];
    if (heldCalibration_) {
      heldCalibration_ = false;
      if (byte == 0xFE || byte == 0xFF) chip_.Reset();
      chip_.OnHostBytes(&kCalibration, 1, nowMs);
    }
    const bool afterQuiet = i == 0 && nowMs - lastByteMs_ >= kQuietGapMs;
    if (byte == kCalibration && afterQuiet && chip_.BetweenSessions()) {
      heldCalibration_ = true;
    } else {
      chip_.OnHostBytes(&byte, 1, nowMs);
    }
  }
  lastByteMs_ = nowMs;
}

SimulatedPropeller::Record PtyPropeller::LastRecord() const {
  return server_.Inspect([this](const WireDevice&) { return chip_.record(); });
}

SimulatedPropeller::Phase PtyPropeller::ChipPhase() const {
  return server_.Inspect([this](const WireDevice&) { return chip_.phase(); });
}

int PtyPropeller::Sessions() const {
  return server_.Inspect([this](const WireDevice&) { return chip_.resets(); });
}

bool PtyPropeller::WaitBetweenSessions(int timeoutMs) const {
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    if (server_.Inspect(
            [this](const WireDevice&) { return chip_.BetweenSessions(); })) {
      return true;
    }
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

}  // namespace kestrix::sim
