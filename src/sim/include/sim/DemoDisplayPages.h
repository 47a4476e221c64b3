#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "sim/DemoPage.h"
#include "sim/DemoStream.h"

namespace kestrix::sim {

// The pages that show what the window draws, and take keys and the mouse.

// The title with the menu. Its normal-terminal hint shows only in that mode;
// once the window is seen in the device display mode, the hint's row is
// blanked in case it was drawn before the mode changed.
class TitlePage : public DemoPage {
 public:
  void Open(PageOutput& out) override;
  void DisplayModeSeen(PageOutput& out);
  // The last upload's report, shown under the menu.
  void SetReport(std::string report) { report_ = std::move(report); }

 private:
  std::string report_;
  bool hintMayShow_ = false;
};

// A page that is only a picture.
class ScreenPage : public DemoPage {
 public:
  explicit ScreenPage(DemoStream (*screen)()) : screen_(screen) {}
  void Open(PageOutput& out) override;

 private:
  DemoStream (*screen_)();
};

// Cursor moves; + scrolls the picture.
class CursorPage : public ScreenPage {
 public:
  CursorPage();
  bool OnKey(std::uint8_t key, PageOutput& out) override;
};

// Graphics, then its pixel queries one after another.
class GraphicsPage : public DemoPage {
 public:
  void Open(PageOutput& out) override;
  bool Waiting() const override;
  void OnAnswer(std::uint8_t byte, PageOutput& out) override;

 private:
  int step_ = 0;
};

// Draws where the left button is held; the right button clears.
class MousePage : public DemoPage {
 public:
  void Open(PageOutput& out) override;
  void OnMouse(const MouseReport& report, PageOutput& out) override;

 private:
  int lastX_ = -1, lastY_ = -1;
  bool pointerShown_ = false;
  bool drawing_ = false;
  int strokeColour_ = 0;
};

// Shows every key byte and mouse report; Escape twice leaves.
class KeysPage : public DemoPage {
 public:
  void Open(PageOutput& out) override;
  bool OnKey(std::uint8_t key, PageOutput& out) override;
  void OnMouse(const MouseReport& report, PageOutput& out) override;

 private:
  void ShowLine(const std::string& line, PageOutput& out);

  int row_ = 0;
  int escapes_ = 0;
};

// Names the samples to upload; a text file typed here shows as it arrives,
// so every key but Escape is the page's.
class UploadPage : public DemoPage {
 public:
  void Open(PageOutput& out) override;
  bool OnKey(std::uint8_t key, PageOutput& out) override;
};

// The name of a key byte in either of the window's modes.
std::string KeyName(std::uint8_t key);

}  // namespace kestrix::sim
