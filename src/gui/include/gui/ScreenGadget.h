#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
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
  // While the device sends faster than the screen is shown, repaints come
  // at most this often.
  static constexpr int kFrameMs = 16;

  explicit ScreenGadget(QWidget* parent);

  // Resizes the gadget to the scaled size of the image and schedules a
  // repaint; the image is converted for display when the paint comes, and
  // then only the rows written since the last paint, so several chunks
  // presented before one paint cost one conversion. The image must stay
  // alive until the next Show or Blank (it is the screen's own image, which
  // lives as long as the program). A scale that is not a positive number
  // counts as 1.
  void Show(const Raster& image, float scale);

  // Shows a black area of the given size until the next image arrives (the
  // gadget before the first image, or after the screen was re-created).
  void Blank(int width, int height);

  // While a backlog drains, repaints wait for the next frame; once it is
  // gone, a pending repaint is scheduled at once.
  void SetBacklog(bool backlog);

  // What the last paint showed.
  const QImage& image() const { return image_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void RequestPaint();
  // Brings image_ up to date with source_.
  void Convert();

  const Raster* source_ = nullptr;
  bool stale_ = false;
  bool fullConvert_ = true;
  bool backlog_ = false;
  int shownTop_ = 0;
  QImage image_;
  QElapsedTimer sincePaint_;
  QTimer frameTimer_;
};

}  // namespace kestrix
