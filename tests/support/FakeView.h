#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "app/View.h"
#include "terminal/Presenter.h"

namespace kestrix::test {

// The main window as the program's logic sees it: a menu with check marks
// and enabled states (every item starts enabled and unchecked), the inner
// height the auto mode measures, and the calls that change the window.
class FakeView : public View {
 public:
  std::map<int, bool> checked;
  std::map<int, bool> disabled;
  std::vector<std::pair<int, int>> resizes;
  int innerHeightWithMenu = 446;
  int aboutPaints = 0;
  std::vector<std::string>* sharedLog = nullptr;

  bool IsChecked(int menuId) const override;
  void SetChecked(int menuId, bool on) override;
  void SetEnabled(int menuId, bool enabled) override;
  void ResizeInner(int width, int height) override;
  int InnerHeightWithMenu() const override { return innerHeightWithMenu; }
  void PaintAboutPanel() override;

  bool IsEnabled(int menuId) const;
  // The checked ids among first..last.
  std::vector<int> CheckedAmong(int first, int last) const;
};

// Where the decoder hands its finished screen: counts the hand-overs.
class RecordingPresenter : public Presenter {
 public:
  int presents = 0;
  std::vector<std::string>* sharedLog = nullptr;
  void PresentScreen(const Raster&) override {
    ++presents;
    if (sharedLog != nullptr) sharedLog->push_back("present");
  }
};

}  // namespace kestrix::test
