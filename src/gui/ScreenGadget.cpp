#include "gui/ScreenGadget.h"

#include <QPaintEvent>
#include <QPainter>
#include <cmath>

#include "core/Rounding.h"
#include "gui/RasterImage.h"

namespace kestrix {

ScreenGadget::ScreenGadget(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  // Every pixel is painted from the image; Qt need not clear first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::NoFocus);
}

void ScreenGadget::Show(const Raster& image, float scale) {
  source_ = &image;
  stale_ = true;
  if (!(scale > 0.0f) || !std::isfinite(scale)) scale = 1.0f;
  setFixedSize(RoundHalfToEven(static_cast<double>(image.width()) * scale),
               RoundHalfToEven(static_cast<double>(image.height()) * scale));
  update();
}

void ScreenGadget::Blank(int width, int height) {
  source_ = nullptr;
  stale_ = false;
  image_ = QImage(width > 0 ? width : 1, height > 0 ? height : 1,
                  QImage::Format_RGB32);
  image_.fill(Qt::black);
  setFixedSize(width, height);
  update();
}

void ScreenGadget::paintEvent(QPaintEvent* event) {
  if (stale_ && source_ != nullptr) {
    image_ = RasterToQImage(*source_);
    stale_ = false;
  }
  QPainter painter(this);
  // Nearest-neighbour scaling: no blending between device pixels.
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  if (image_.isNull()) {
    painter.fillRect(event->rect(), Qt::black);
    return;
  }
  if (image_.size() == size()) {
    painter.drawImage(event->rect(), image_, event->rect());
  } else {
    painter.drawImage(rect(), image_);
  }
}

}  // namespace kestrix
