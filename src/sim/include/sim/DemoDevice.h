#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "sim/DemoBootRom.h"
#include "sim/DemoMonitor.h"
#include "sim/WireDevice.h"

namespace kestrix::sim {

// A Propeller running a demo program that uses the window as its display:
// a title with a menu driven by keys, and pages that show what the terminal
// can do (colours, cursor addressing, graphics, mouse, clock, key codes, the
// PC's file services). Between pages it accepts a Propeller 1 upload through
// the boot ROM and a Propeller 2 monitor load, reports them and starts the
// demo again.
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
    kPrepared
  };

  explicit DemoDevice(DemoBootRom& rom);

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
  enum class Expect {
    kNone,
    kMouse,
    kAnswerText,
    kPixel,
    kSize,
    kBlock,
    kBinLength,
    kBinData,
    kTypedText
  };

  void OnByte(std::uint8_t byte, bool firstOfRead);
  void OnDemoByte(std::uint8_t byte);
  void FlushHexRun();
  void OnKey(std::uint8_t key);
  void OnMouse();
  void OnAnswerText();
  void OnPixel(std::uint8_t answer);
  void OnSize();
  void OnBlock();
  void OnBinaryDone();
  void ShowKeyLine(const std::string& line);
  void Collect(std::uint8_t byte, std::size_t need, void (DemoDevice::*done)());

  void Open(Page page);
  void StartBoot(std::uint8_t hostBit);
  void FinishBoot();
  void FinishMonitor();
  void Restart(const std::string& report);

  void Send(const std::string& bytes);
  void SendLater(int delayMs, const std::string& bytes);
  void Log(const std::string& line) { log_.push_back(line); }

  DemoBootRom& rom_;
  DemoMonitor monitor_;
  Mode mode_ = Mode::kDemo;
  Page page_ = Page::kTitle;
  Expect expect_ = Expect::kNone;
  int step_ = 0;  // progress through a page's sequence of requests
  std::string collected_;
  std::int64_t nowMs_ = 0;
  std::int64_t lastHostMs_ = -1000;
  bool heldCalibration_ = false;
  std::string hexRun_;  // digits held back: a monitor address, or keys?
  // Which of the window's modes the keys show: 1 device display, -1
  // normal terminal, 0 not known yet.
  int keyMode_ = 0;
  int escapes_ = 0;
  // Mouse page: the last point and the pointer drawn there.
  int lastX_ = -1, lastY_ = -1;
  bool pointerShown_ = false;
  bool drawing_ = false;
  // Binary transfer.
  std::uint32_t binLength_ = 0, binReceived_ = 0, binSum_ = 0;
  int binBlocks_ = 0;
  int typedRow_ = 0;
  bool typedAny_ = false;  // a typed file has shown a character
  std::int32_t preparedSize_ = -1;
  int saves_ = 0;
  int strokeColour_ = 0;
  std::int64_t expectSinceMs_ = 0;
  std::int64_t restartAtMs_ = -1;
  std::string lastReport_;  // of the last upload, shown on the title

  std::deque<std::uint8_t> ready_;
  std::vector<std::pair<std::int64_t, std::string>> delayed_;
  std::vector<std::string> log_;
};

}  // namespace kestrix::sim
