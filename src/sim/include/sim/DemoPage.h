#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace kestrix::sim {

// Palette numbers the demo's pages draw with.
inline constexpr int kWhite = 0, kCyan = 1, kRed = 2, kMagenta = 3, kBlue = 4,
                     kGreen = 5, kYellow = 6, kGrey = 7;

// Key bytes the pages act on, as the PC sends them in either window mode:
// Esc is 203 from the device display and 27 from a plain terminal.
inline constexpr std::uint8_t kEscapeDisplay = 203;
inline constexpr std::uint8_t kEscapeNormal = 27;
inline constexpr std::uint8_t kEnter = 13;
inline constexpr std::uint8_t kBackspaceDisplay = 200;
inline bool IsEscape(std::uint8_t k) {
  return k == kEscapeDisplay || k == kEscapeNormal;
}

// What the PC may take to answer a request before the page stops waiting.
inline constexpr int kAnswerGiveUpMs = 3000;

// A mouse report after its leading 5: K (buttons in bits 0 and 1, the low
// bits of x and y in bits 5 and 4), x / 2, y / 2.
struct MouseReport {
  int x = 0, y = 0, buttons = 0;
};
MouseReport ParseMouseReport(const std::string& threeBytes);

// What a page does in answer to a byte: bytes for the PC now or later, lines
// for the simulator's console, and whether the menu is to be shown.
struct PageOutput {
  std::string bytes;
  std::vector<std::pair<int, std::string>> later;  // delay in ms, bytes
  std::vector<std::string> log;
  bool backToMenu = false;

  void Send(const std::string& more) { bytes += more; }
};

// One page of the demo with its own state. The device hands it the bytes
// that answer its requests while it waits, the mouse reports, and the keys
// it claims; everything else is the menu's.
class DemoPage {
 public:
  virtual ~DemoPage() = default;
  // Forgets a previous visit, draws the page and sends its first request.
  virtual void Open(PageOutput& out) = 0;
  // Whether a request waits for the PC's answer: bytes are then the page's.
  virtual bool Waiting() const { return false; }
  virtual void OnAnswer(std::uint8_t byte, PageOutput& out) {
    (void)byte;
    (void)out;
  }
  // How long the PC may stay quiet while the page waits, and what the page
  // shows when the wait ends that way.
  virtual int GiveUpMs() const { return kAnswerGiveUpMs; }
  virtual void GiveUp(PageOutput& out);
  // A key the page uses itself; false leaves it to the menu.
  virtual bool OnKey(std::uint8_t key, PageOutput& out) {
    (void)key;
    (void)out;
    return false;
  }
  virtual void OnMouse(const MouseReport& report, PageOutput& out) {
    (void)report;
    (void)out;
  }
};

// A line at the status row in a colour, padded so that it hides the last.
std::string Status(const std::string& text, int colour = kYellow);
// An immediate request 5, 0x81, X8, Y8.
std::string ImmediateRequest(int x8, int y8);
// A 32-bit number sent least significant byte first, from `bytes` at `at`.
std::uint32_t LittleEndian32(const std::string& bytes, std::size_t at);

}  // namespace kestrix::sim
