// The line-level part of the demo device: what tells an upload from keys.
#include <utility>

#include "sim/DemoDevice.h"
#include "sim/DemoReports.h"
#include "sim/DemoScreens.h"
#include "sim/DemoStream.h"

namespace kestrix::sim {

namespace {
// A boot session starts with the calibration byte after a quiet line,
// followed by the first host bit (0xFE or 0xFF): a pty has no reset line.
constexpr std::uint8_t kCalibration = 0xF9;
constexpr int kQuietGapMs = 50;
// Held hex digits count as keys after this pause.
constexpr int kKeyHoldMs = 30;
constexpr int kBootGiveUpMs = 3000;
// The monitor's closing "0+ADDR" has no line end: it is over when the
// typing stops.
constexpr int kMonitorDoneMs = 150;
constexpr int kReportShowMs = 2500;

bool IsHexDigit(std::uint8_t b) {
  return (b >= '0' && b <= '9') || (b >= 'A' && b <= 'F');
}
}  // namespace

void DemoDevice::TickUploads(std::int64_t quietMs) {
  if (!hexRun_.empty() && quietMs >= kKeyHoldMs) FlushHexRun();
  if (mode_ == Mode::kBoot && quietMs > kBootGiveUpMs) {
    log_.push_back(
        "Propeller 1 boot: the host stopped in the middle; session dropped");
    mode_ = Mode::kDemo;
    Restart("Propeller 1 upload broke off.");
  } else if (mode_ == Mode::kMonitor &&
             quietMs > (monitor_.Closing() ? kMonitorDoneMs : kBootGiveUpMs)) {
    mode_ = Mode::kDemo;
    Restart(MonitorReport(monitor_));
  }
}

void DemoDevice::OnByte(std::uint8_t byte, bool firstOfRead) {
  if (mode_ == Mode::kBoot) {
    rom_.OnHostBytes(&byte, 1, nowMs_);
    std::uint8_t reply[64];
    for (int got; (got = rom_.TakeReplies(reply, sizeof reply)) > 0;) {
      ready_.insert(ready_.end(), reply, reply + got);
    }
    if (rom_.SessionOver()) {
      mode_ = Mode::kDemo;
      Restart(BootReport(rom_.Outcome()));
    }
    return;
  }
  if (heldCalibration_) {
    heldCalibration_ = false;
    if (byte == 0xFE || byte == 0xFF) {
      StartBoot(byte);
      return;
    }
    OnByte(kCalibration, false);
  } else if (byte == kCalibration && firstOfRead &&
             nowMs_ - lastHostMs_ >= kQuietGapMs) {
    heldCalibration_ = true;
    return;
  }
  if (mode_ == Mode::kMonitor) {
    Send(monitor_.OnByte(byte));
    return;
  }
  // A monitor load starts with a hex address and ':'. Digits are menu keys
  // too, so a run of them waits for the next byte, or for a pause no typing
  // program makes, before it counts as keys.
  const bool free = !inMouse_ && !Current().Waiting();
  if (free && IsHexDigit(byte) && hexRun_.size() < 8) {
    hexRun_ += static_cast<char>(byte);
    return;
  }
  if (!hexRun_.empty() && byte == ':') {
    mode_ = Mode::kMonitor;
    monitor_.Reset();
    log_.push_back("Propeller 2 monitor: typed lines arriving");
    Send(PageHeader("Propeller 2 monitor (simulated): loading")
             .At(0, 2)
             .bytes());
    for (char c : hexRun_ + ":") {
      Send(monitor_.OnByte(static_cast<std::uint8_t>(c)));
    }
    hexRun_.clear();
    return;
  }
  FlushHexRun();
  OnDemoByte(byte);
}

void DemoDevice::FlushHexRun() {
  const std::string keys = std::move(hexRun_);
  hexRun_.clear();
  for (char c : keys) OnDemoByte(static_cast<std::uint8_t>(c));
}

void DemoDevice::StartBoot(std::uint8_t hostBit) {
  mode_ = Mode::kBoot;
  page_ = Page::kTitle;  // a page's wait ends; the report opens the title
  inMouse_ = false;
  hexRun_.clear();
  // Nothing of the demo may reach the loader while it reads the chip.
  ready_.clear();
  delayed_.clear();
  rom_.StartSession();
  log_.push_back("Propeller 1 boot: calibration and host bits arriving");
  const std::uint8_t start[] = {kCalibration, hostBit};
  for (std::uint8_t b : start) OnByte(b, false);
}

void DemoDevice::Restart(const std::string& report) {
  log_.push_back(report);
  title_.SetReport(report);
  page_ = Page::kTitle;
  delayed_.emplace_back(nowMs_ + kQuietGapMs * 4, DemoStream()
                                                      .Text("\n")
                                                      .Colour(kGreen)
                                                      .Line(report)
                                                      .Colour(kWhite)
                                                      .bytes());
  restartAtMs_ = nowMs_ + kReportShowMs;
}

}  // namespace kestrix::sim
