#pragma once

#include <cstdint>

#include "core/Clock.h"
#include "core/Host.h"

namespace kestrix {

// Mouse-movement reports, held back while a transfer owns the line so that
// no report interleaves with the transfer's bytes.
struct MouseReports {
  bool& MsMoveOff;
  // The check state of the Normal-Terminal Mode command, which decides
  // whether reports are sent outside a transfer.
  const bool& NormalTerminalFlag;
};

// Gives mouse reports back on every exit path: MsMoveOff returns to the
// Normal-Terminal Mode state, whatever it was before.
class MouseReportRestore {
 public:
  explicit MouseReportRestore(MouseReports reports) : reports_(reports) {}
  ~MouseReportRestore() { reports_.MsMoveOff = reports_.NormalTerminalFlag; }
  MouseReportRestore(const MouseReportRestore&) = delete;
  MouseReportRestore& operator=(const MouseReportRestore&) = delete;

  void HoldBack() { reports_.MsMoveOff = true; }

 private:
  MouseReports reports_;
};

// Keeps the window painted during a long send. Pumping the desktop's events
// costs far more than typing one character, so it happens at most once per
// interval of work instead of after every byte.
class EventPacer {
 public:
  static constexpr std::int64_t kIntervalMs = 4;

  EventPacer(Host& host, Clock& clock)
      : host_(host), clock_(clock), last_(clock.MonotonicMs()) {}

  // Pumps when the interval has passed since the last pump.
  void Tick() {
    const std::int64_t now = clock_.MonotonicMs();
    if (now - last_ < kIntervalMs) return;
    last_ = now;
    host_.PumpEvents();
  }
  // Pumps now.
  void Pump() {
    last_ = clock_.MonotonicMs();
    host_.PumpEvents();
  }

 private:
  Host& host_;
  Clock& clock_;
  std::int64_t last_;
};

}  // namespace kestrix
