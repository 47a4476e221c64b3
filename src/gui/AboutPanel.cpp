#include "gui/AboutPanel.h"

#include <QPainter>
#include <QRect>

namespace kestrix {

namespace {

// The ramp ends where the description column begins.
constexpr int kRampWidth = 151;
constexpr int kFirstRow = 2;

struct PanelText {
  int x;
  int y;
  const char* text;
};

constexpr PanelText kTexts[] = {
    {30, 25, "Kestrix"},
    {170, 25, "PC- Keyboard, Mouse"},
    {170, 45, "and Text-Display for"},
    {170, 65, "Propeller Chip"},
    {170, 100, "Version 0.5.P2"},
    {170, 130, "Made for Propeller tinkerers"},
    {170, 150, "See README.md beside the program"},
};

}  // namespace

void PaintAboutPanel(QPainter& painter) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  for (int y = kFirstRow; y < kAboutPanelHeight; ++y) {
    painter.fillRect(0, y, kRampWidth, 1, QColor(y, 0, y));
    painter.fillRect(kRampWidth, y, kAboutPanelWidth - kRampWidth, 1,
                     Qt::black);
  }
  painter.setBackgroundMode(Qt::TransparentMode);
  painter.setPen(QColor(255, 255, 0));
  for (const PanelText& t : kTexts) {
    // Room to the right and below: the text is placed by its top-left corner
    // and clipped only by the window.
    painter.drawText(QRect(t.x, t.y, 4 * kAboutPanelWidth, kAboutPanelHeight),
                     Qt::AlignLeft | Qt::AlignTop, QString::fromLatin1(t.text));
  }
  painter.restore();
}

AboutOverlay::AboutOverlay(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setFocusPolicy(Qt::NoFocus);
  // Unpainted rows (0 and 1) show the screen underneath.
  setAutoFillBackground(false);
}

void AboutOverlay::CoverParent() {
  // As wide as the inner area: text that runs past column 319 is drawn over
  // the screen too, as it would be when painted straight onto the window.
  if (parentWidget() != nullptr) setGeometry(parentWidget()->rect());
  show();
  raise();
}

void AboutOverlay::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintAboutPanel(painter);
}

}  // namespace kestrix
