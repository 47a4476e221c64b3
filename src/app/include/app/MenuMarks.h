#pragma once

#include "app/View.h"

namespace kestrix {

// Hands the menu's check marks to the window, which only shows them: the
// state behind every mark is the program's own. Without a window (before it
// is attached, or in tests of the logic alone) nothing is shown.
class MenuMarks {
 public:
  void Attach(View* view) { view_ = view; }
  View* view() const { return view_; }

  void Show(int menuId, bool checked) {
    if (view_ != nullptr) view_->SetChecked(menuId, checked);
  }

 private:
  View* view_ = nullptr;
};

}  // namespace kestrix
