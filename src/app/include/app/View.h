#pragma once

namespace kestrix {

// What the program's logic asks of its main window. The window implements
// it with Qt widgets; tests with a double. The window shows the check marks
// it is handed; the program never reads them back.
class View {
 public:
  virtual ~View() = default;
  virtual void SetChecked(int menuId, bool checked) = 0;
  virtual void SetEnabled(int menuId, bool enabled) = 0;
  // Resizes the inner area below the menu bar, keeping the window's place.
  virtual void ResizeInner(int width, int height) = 0;
  // The inner height including the menu bar: small when minimised.
  virtual int InnerHeightWithMenu() const = 0;
  // Paints the About panel straight onto the window, over the screen; the
  // next presented screen image removes it.
  virtual void PaintAboutPanel() = 0;
};

}  // namespace kestrix
