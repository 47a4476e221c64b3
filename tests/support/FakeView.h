#pragma once

#include <set>
#include <string>
#include <vector>

#include "app/View.h"
#include "terminal/Presenter.h"

namespace kestrix::test {

// The main window as the logic sees it. Logs "view mark 5 on", "view resize
// 640x446", "view about panel"; the presenter logs "present".
class FakeView : public View, public Presenter {
 public:
  explicit FakeView(std::vector<std::string>& log) : log_(log) {}

  std::set<int> checked, disabled;
  int innerHeightWithMenu = 446;

  bool IsChecked(int id) const { return checked.count(id) > 0; }
  void SetChecked(int id, bool on) override {
    log_.push_back("view mark " + std::to_string(id) + (on ? " on" : " off"));
    on ? (void)checked.insert(id) : (void)checked.erase(id);
  }
  void SetEnabled(int id, bool on) override {
    on ? (void)disabled.erase(id) : (void)disabled.insert(id);
  }
  void ResizeInner(int width, int height) override {
    log_.push_back("view resize " + std::to_string(width) + "x" +
                   std::to_string(height));
  }
  int InnerHeightWithMenu() const override { return innerHeightWithMenu; }
  void PaintAboutPanel() override { log_.push_back("view about panel"); }
  void PresentScreen(const Raster&) override { log_.push_back("present"); }

 private:
  std::vector<std::string>& log_;
};

}  // namespace kestrix::test
