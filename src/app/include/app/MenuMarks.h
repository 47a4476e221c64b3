#pragma once

#include "app/View.h"

namespace kestrix {

// The check marks of the window's menu, which are state in their own right.
// Without a window (before it is attached, or in tests of the logic alone)
// every mark reads as clear and setting one does nothing.
class MenuMarks {
 public:
  void Attach(View* view) { view_ = view; }
  View* view() const { return view_; }

  bool IsChecked(int menuId) const {
    return view_ != nullptr && view_->IsChecked(menuId);
  }
  void Set(int menuId, bool checked) {
    if (view_ != nullptr) view_->SetChecked(menuId, checked);
  }
  // Reads the mark, inverts it, writes it back and reads it again, so the
  // value behind it follows what the menu really shows.
  bool Toggle(int menuId) {
    Set(menuId, !IsChecked(menuId));
    return IsChecked(menuId);
  }

 private:
  View* view_ = nullptr;
};

}  // namespace kestrix
