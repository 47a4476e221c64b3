#pragma once

#include <QWidget>

class QPainter;

namespace kestrix {

// The About panel: a purple ramp under the product name on the left, black
// under the description on the right, yellow text on both. It covers
// columns 0 to 319 and rows 2 to 239; rows 0 and 1 are left as they are.
inline constexpr int kAboutPanelWidth = 320;
inline constexpr int kAboutPanelHeight = 240;

// Paints the panel with its top-left corner at the painter's origin, in the
// painter's default font.
void PaintAboutPanel(QPainter& painter);

// The panel as a child widget laid over the window's inner area, so that it
// can be painted at once while the program blocks, and removed by hiding it
// when the next screen image is shown.
class AboutOverlay : public QWidget {
 public:
  explicit AboutOverlay(QWidget* parent);
  // Shows the panel over the whole of the parent, on top of its children.
  void CoverParent();

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace kestrix
