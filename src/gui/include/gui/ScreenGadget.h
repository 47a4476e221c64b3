#pragma once

#include <QImage>
#include <QWidget>

#include "core/Raster.h"

namespace kestrix {

// The image area at the top-left of the window's inner area. It shows the
// terminal's screen image at that image's size times the window scale,
// without smoothing: each shown pixel is the colour of one image pixel, so a
// pointer position divided by the scale names the pixel under the pointer.
// Mouse input is left to the window (the gadget is transparent for it).
class ScreenGadget : public QWidget {
 public:
  explicit ScreenGadget(QWidget* parent);

  // Resizes the gadget to the scaled size of the image and schedules a
  // repaint; the image is converted for display when the paint comes, so
  // several chunks presented before one paint cost one conversion. The
  // image must stay alive until the next Show or Blank (it is the screen's
  // own image, which lives as long as the program). A scale that is not a
  // positive number counts as 1.
  void Show(const Raster& image, float scale);

  // Shows a black area of the given size until the next image arrives (the
  // gadget before the first image, or after the screen was re-created).
  void Blank(int width, int height);

  // What the last paint showed.
  const QImage& image() const { return image_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const Raster* source_ = nullptr;
  bool stale_ = false;
  QImage image_;
};

}  // namespace kestrix
