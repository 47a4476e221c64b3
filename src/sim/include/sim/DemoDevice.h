#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "sim/DemoBootRom.h"
#include "sim/DemoDisplayPages.h"
#include "sim/DemoMonitor.h"
#include "sim/DemoServicePages.h"
#include "sim/WireDevice.h"

namespace kestrix::sim {

// A Propeller running a demo program that uses the window as its display:
// a title with a menu driven by keys, and pages that show what the terminal
// can do. This part routes: it tells a Propeller 1 boot (the calibration
// byte after a quiet line) and a Propeller 2 monitor load (a hex address and
// ':') from keys, reports those uploads and starts the demo again, turns
// menu keys into pages, and hands each page the bytes that are its own.
class DemoDevice : public WireDevice {
 public:
  enum class Page {
    kTitle,
    kColours,
    kCursor,
    kGraphics,
    kMouse,
    kClock,
    kKeys,
    kText,
    kBinary,
    kSave,
    kPrepared,
    kUpload
  };

  explicit DemoDevice(DemoBootRom& rom);
  DemoDevice(const DemoDevice&) = delete;
  DemoDevice& operator=(const DemoDevice&) = delete;

  void OnHostBytes(const std::uint8_t* data, int count,
                   std::int64_t nowMs) override;
  int TakeReplies(std::uint8_t* out, int max) override;

  // Lets time pass without input: releases delayed output and ends the
  // states that end by quiet. Call it every few milliseconds.
  void Tick(std::int64_t nowMs);
  // The window has opened the line: start from the title.
  void ShowTitle();

  // What the device reports on the simulator's own console.
  std::vector<std::string> TakeLog();
  Page page() const { return page_; }

 private:
  enum class Mode { kDemo, kBoot, kMonitor };

  // The line-level part (DemoDeviceUploads.cpp): boot and monitor sessions.
  void OnByte(std::uint8_t byte, bool firstOfRead);
  void TickUploads(std::int64_t quietMs);
  void OnDemoByte(std::uint8_t byte);
  void FlushHexRun();
  void OnKey(std::uint8_t key);
  void OnMouse(const MouseReport& report);
  DemoPage& Current();
  void Open(Page page);
  void Take(PageOutput&& out);
  void StartBoot(std::uint8_t hostBit);
  void Restart(const std::string& report);
  void Send(const std::string& bytes);

  DemoBootRom& rom_;
  DemoMonitor monitor_;
  Mode mode_ = Mode::kDemo;
  Page page_ = Page::kTitle;
  std::int64_t nowMs_ = 0;
  std::int64_t lastHostMs_ = -1000;
  std::int64_t waitSinceMs_ = 0;  // the page's last request or answer byte
  bool heldCalibration_ = false;
  std::string hexRun_;  // digits held back: a monitor address, or keys?
  std::string mouse_;   // a mouse report being collected after its 5
  bool inMouse_ = false;
  int lastButtons_ = -1;
  std::int64_t restartAtMs_ = -1;

  TitlePage title_;
  ScreenPage colours_;
  CursorPage cursor_;
  GraphicsPage graphics_;
  MousePage mousePage_;
  ClockPage clock_;
  KeysPage keys_;
  TextPage text_;
  BinaryPage binary_;
  SavePage save_;
  PreparedPage prepared_;
  UploadPage upload_;
  // The pages above by `Page`, in its order.
  std::array<DemoPage*, 12> pages_;

  std::deque<std::uint8_t> ready_;
  std::vector<std::pair<std::int64_t, std::string>> delayed_;
  std::vector<std::string> log_;
};

}  // namespace kestrix::sim
