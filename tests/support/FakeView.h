#pragma once

#include <set>
#include <string>
#include <vector>

#include "app/View.h"
#include "terminal/Presenter.h"

namespace kestrix::test {

// The main window as the program's logic sees it: a menu whose items start
// enabled and unchecked, the inner height the auto mode measures, and the
// calls that change the window, appended to `log` ("view mark 5 on", "view
// resize 640x446", "view about panel").
class FakeView : public View {
 public:
  explicit FakeView(std::vector<std::string>& log) : log_(log) {}

  std::set<int> checked;
  std::set<int> disabled;
  int innerHeightWithMenu = 446;

  bool IsChecked(int id) const override { return checked.count(id) > 0; }
  void SetChecked(int id, bool on) override {
    log_.push_back("view mark " + std::to_string(id) + (on ? " on" : " off"));
    if (on) {
      checked.insert(id);
    } else {
      checked.erase(id);
    }
  }
  void SetEnabled(int id, bool on) override {
    if (on) {
      disabled.erase(id);
    } else {
      disabled.insert(id);
    }
  }
  void ResizeInner(int width, int height) override {
    log_.push_back("view resize " + std::to_string(width) + "x" +
                   std::to_string(height));
  }
  int InnerHeightWithMenu() const override { return innerHeightWithMenu; }
  void PaintAboutPanel() override { log_.push_back("view about panel"); }

 private:
  std::vector<std::string>& log_;
};

// Where the decoder hands its finished screen: "present" in the log.
class RecordingPresenter : public Presenter {
 public:
  explicit RecordingPresenter(std::vector<std::string>& log) : log_(log) {}
  void PresentScreen(const Raster&) override { log_.push_back("present"); }

 private:
  std::vector<std::string>& log_;
};

}  // namespace kestrix::test
