#include "sim/DemoDevice.h"

#include <algorithm>
#include <utility>

#include "sim/DemoReports.h"
#include "sim/DemoScreens.h"
#include "sim/DemoStream.h"

namespace kestrix::sim {

namespace {

// Key bytes that only the device display mode sends: Shift reports 1 and 3,
// Backspace and Escape remapped.
constexpr std::uint8_t kShiftDown = 1;
constexpr std::uint8_t kShiftUp = 3;
constexpr std::uint8_t kMouseReport = 5;

}  // namespace

DemoDevice::DemoDevice(DemoBootRom& rom)
    : rom_(rom), colours_(ColoursScreen), pages_{&title_,     &colours_,
                                                 &cursor_,    &graphics_,
                                                 &mousePage_, &clock_,
                                                 &keys_,      &text_,
                                                 &binary_,    &save_,
                                                 &prepared_,  &upload_} {}

void DemoDevice::OnHostBytes(const std::uint8_t* data, int count,
                             std::int64_t nowMs) {
  Tick(nowMs);
  for (int i = 0; i < count; ++i) OnByte(data[i], i == 0);
  lastHostMs_ = nowMs;
}

int DemoDevice::TakeReplies(std::uint8_t* out, int max) {
  int n = 0;
  for (; n < max && !ready_.empty(); ++n) {
    out[n] = ready_.front();
    ready_.pop_front();
  }
  return n;
}

void DemoDevice::Tick(std::int64_t nowMs) {
  nowMs_ = nowMs;
  const auto due = std::stable_partition(
      delayed_.begin(), delayed_.end(),
      [&](const auto& item) { return item.first <= nowMs; });
  for (auto it = delayed_.begin(); it != due; ++it) Send(it->second);
  delayed_.erase(delayed_.begin(), due);

  if (restartAtMs_ >= 0 && nowMs >= restartAtMs_ && mode_ == Mode::kDemo) {
    restartAtMs_ = -1;
    Open(Page::kTitle);
  }
  const std::int64_t quiet = nowMs - lastHostMs_;
  TickUploads(quiet);
  if (mode_ == Mode::kDemo && Current().Waiting()) {
    const int limit = Current().GiveUpMs();
    if (quiet > limit && nowMs - waitSinceMs_ > limit) {
      PageOutput out;
      Current().GiveUp(out);
      Take(std::move(out));
    }
  }
}

void DemoDevice::ShowTitle() {
  if (mode_ != Mode::kDemo) return;
  log_.push_back("The window opened the line: showing the title");
  Open(Page::kTitle);
}

std::vector<std::string> DemoDevice::TakeLog() {
  std::vector<std::string> lines;
  lines.swap(log_);
  return lines;
}

void DemoDevice::OnDemoByte(std::uint8_t byte) {
  if (inMouse_) {
    mouse_ += static_cast<char>(byte);
    if (mouse_.size() < 3) return;
    inMouse_ = false;
    OnMouse(ParseMouseReport(mouse_));
  } else if (Current().Waiting()) {
    waitSinceMs_ = nowMs_;
    PageOutput out;
    Current().OnAnswer(byte, out);
    Take(std::move(out));
  } else if (byte == kMouseReport) {
    inMouse_ = true;
    mouse_.clear();
  } else {
    OnKey(byte);
  }
}

void DemoDevice::OnMouse(const MouseReport& report) {
  PageOutput out;
  // A press or release is reported in either mode; a report that repeats
  // the buttons is a move, which only the device display mode reports.
  if (report.buttons == lastButtons_ && page_ == Page::kTitle) {
    title_.DisplayModeSeen(out);
  }
  lastButtons_ = report.buttons;
  Current().OnMouse(report, out);
  Take(std::move(out));
}

void DemoDevice::OnKey(std::uint8_t key) {
  PageOutput out;
  if (key == kShiftDown || key == kShiftUp || key == kBackspaceDisplay ||
      key == kEscapeDisplay) {
    if (page_ == Page::kTitle) title_.DisplayModeSeen(out);
  }
  if (Current().OnKey(key, out)) {
    Take(std::move(out));
    return;
  }
  Take(std::move(out));
  static const Page kByDigit[] = {
      Page::kPrepared, Page::kColours, Page::kCursor, Page::kGraphics,
      Page::kMouse,    Page::kClock,   Page::kKeys,   Page::kText,
      Page::kBinary,   Page::kSave};
  if (key == kEscapeDisplay || key == kEscapeNormal || key == 'm' ||
      key == 'M') {
    Open(Page::kTitle);
  } else if (key >= '0' && key <= '9') {
    Open(kByDigit[key - '0']);
  } else if (key == 'u' || key == 'U') {
    Open(Page::kUpload);
  }
}

DemoPage& DemoDevice::Current() {
  return *pages_[static_cast<std::size_t>(page_)];
}

void DemoDevice::Open(Page page) {
  page_ = page;
  // A page chosen while an upload report shows wins over the restart.
  if (page != Page::kTitle) restartAtMs_ = -1;
  waitSinceMs_ = nowMs_;
  PageOutput out;
  Current().Open(out);
  Take(std::move(out));
}

void DemoDevice::Take(PageOutput&& out) {
  Send(out.bytes);
  for (auto& [delayMs, bytes] : out.later) {
    delayed_.emplace_back(nowMs_ + delayMs, std::move(bytes));
  }
  for (auto& line : out.log) log_.push_back(std::move(line));
  if (out.backToMenu) Open(Page::kTitle);
}

void DemoDevice::Send(const std::string& bytes) {
  ready_.insert(ready_.end(), bytes.begin(), bytes.end());
}

}  // namespace kestrix::sim
