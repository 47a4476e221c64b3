#include "support/FakeView.h"

namespace kestrix::test {

bool FakeView::IsChecked(int menuId) const {
  auto it = checked.find(menuId);
  return it != checked.end() && it->second;
}

void FakeView::SetChecked(int menuId, bool on) {
  checked[menuId] = on;
  if (sharedLog != nullptr) {
    sharedLog->push_back("mark " + std::to_string(menuId) +
                         (on ? " on" : " off"));
  }
}

void FakeView::SetEnabled(int menuId, bool enabled) {
  disabled[menuId] = !enabled;
}

void FakeView::ResizeInner(int width, int height) {
  resizes.emplace_back(width, height);
  if (sharedLog != nullptr) {
    sharedLog->push_back("resize " + std::to_string(width) + "x" +
                         std::to_string(height));
  }
}

void FakeView::PaintAboutPanel() {
  ++aboutPaints;
  if (sharedLog != nullptr) sharedLog->push_back("about panel");
}

bool FakeView::IsEnabled(int menuId) const {
  auto it = disabled.find(menuId);
  return it == disabled.end() || !it->second;
}

std::vector<int> FakeView::CheckedAmong(int first, int last) const {
  std::vector<int> ids;
  for (int id = first; id <= last; ++id) {
    if (IsChecked(id)) ids.push_back(id);
  }
  return ids;
}

}  // namespace kestrix::test
