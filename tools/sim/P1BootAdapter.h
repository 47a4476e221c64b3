#pragma once

#include "sim/DemoBootRom.h"
#include "sim/SimulatedPropeller.h"

namespace kestrix::simtool {

// The demo's boot ROM, played by the Propeller 1 simulator.
class P1BootAdapter : public sim::DemoBootRom {
 public:
  void StartSession() override { chip_.Reset(); }
  void OnHostBytes(const std::uint8_t* data, int count,
                   std::int64_t nowMs) override {
    chip_.SetNowMs(nowMs);
    chip_.OnHostBytes(data, count);
  }
  int TakeReplies(std::uint8_t* out, int max) override {
    return chip_.TakeReplies(out, max);
  }
  bool SessionOver() const override {
    return chip_.phase() >= sim::SimulatedPropeller::Phase::kRunning;
  }
  sim::BootOutcome Outcome() const override {
    sim::BootOutcome outcome;
    outcome.accepted =
        chip_.phase() == sim::SimulatedPropeller::Phase::kRunning;
    outcome.command = static_cast<int>(chip_.record().command);
    outcome.image = chip_.record().ImageBytes();
    return outcome;
  }

 private:
  sim::SimulatedPropeller chip_;
};

}  // namespace kestrix::simtool
