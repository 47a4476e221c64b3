#include "gui/ScreenGadget.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "core/Rounding.h"
#include "gui/RasterImage.h"

namespace kestrix {

ScreenGadget::ScreenGadget(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  // Every pixel is painted from the image; Qt need not clear first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::NoFocus);
  frameTimer_.setSingleShot(true);
  connect(&frameTimer_, &QTimer::timeout, this, [this] { update(); });
}

void ScreenGadget::Show(const Raster& image, float scale) {
  if (source_ != &image) fullConvert_ = true;
  source_ = &image;
  stale_ = true;
  if (!(scale > 0.0f) || !std::isfinite(scale)) scale = 1.0f;
  const QSize shown(
      RoundHalfToEven(static_cast<double>(image.width()) * scale),
      RoundHalfToEven(static_cast<double>(image.height()) * scale));
  if (minimumSize() != shown || maximumSize() != shown) setFixedSize(shown);
  RequestPaint();
}

void ScreenGadget::Blank(int width, int height) {
  source_ = nullptr;
  stale_ = false;
  fullConvert_ = true;
  image_ = QImage(width > 0 ? width : 1, height > 0 ? height : 1,
                  QImage::Format_RGB32);
  image_.fill(Qt::black);
  setFixedSize(width, height);
  update();
}

void ScreenGadget::SetBacklog(bool backlog) {
  backlog_ = backlog;
  if (!backlog_ && stale_) RequestPaint();
}

void ScreenGadget::RequestPaint() {
  if (frameTimer_.isActive()) return;
  const qint64 since =
      sincePaint_.isValid() ? sincePaint_.elapsed() : qint64{kFrameMs};
  if (!backlog_ || since >= kFrameMs) {
    update();
  } else {
    frameTimer_.start(static_cast<int>(kFrameMs - since));
  }
}

void ScreenGadget::Convert() {
  const Raster& raster = *source_;
  const RowSpan changed = raster.TakeChangedRows();
  const int height = raster.height();
  const int top = raster.RingTop();
  if (fullConvert_ || raster.empty() || image_.width() != raster.width() ||
      image_.height() != height) {
    image_ = RasterToQImage(raster);
    fullConvert_ = false;
    shownTop_ = top;
    return;
  }
  // Rows the picture was turned by since the last paint: the shown image
  // turns the same way (one move of its bytes), then the rows written
  // meanwhile are converted where they now show.
  const int turn = ((top - shownTop_) % height + height) % height;
  if (turn != 0) {
    uchar* bits = image_.bits();
    const auto line = static_cast<std::ptrdiff_t>(image_.bytesPerLine());
    std::rotate(bits, bits + turn * line, bits + height * line);
    shownTop_ = top;
  }
  for (int row = std::max(changed.first, 0);
       row <= std::min(changed.last, height - 1); ++row) {
    const int y = (row - top + height) % height;
    ConvertRow(raster.Row(y), raster.width(), image_.scanLine(y));
  }
}

void ScreenGadget::paintEvent(QPaintEvent* event) {
  if (stale_ && source_ != nullptr) Convert();
  stale_ = false;
  sincePaint_.start();
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
