#include "terminal/Graphics.h"

#include <algorithm>
#include <cstdlib>

#include "terminal/Painter.h"

namespace kestrix {

namespace {

enum Operation {
  kMove = 0,
  kPlot = 1,
  kLine = 2,
  kBox = 3,
  kBlackBox = 4,
  kInvertBox = 5,
  kMousePointer = 6,
  kCircle = 7,
  kFrame = 8,
  kPixelQuery = 9,
  kBitPattern = 10,
  kScroll = 11,
  kTextCursor = 12,
  kFill = 14,
};

constexpr int kPixelIsBlack = 0xFE;
constexpr int kPixelNotBlack = 0xFF;

// The box between two corners, both included, whichever way round they lie.
void BoxBetween(Painter& p, Point a, int x, int y) {
  p.FillBox(std::min(a.x, x), std::min(a.y, y), std::abs(x - a.x) + 1,
            std::abs(y - a.y) + 1);
}

// An arrow pointing up and left with its tip at (x, y); its four parts do not
// overlap, so drawing it again in invert mode removes it.
void MousePointer(Painter& p, int x, int y) {
  p.SetMode(DrawMode::kInvert);
  p.FillBox(x, y, 7, 2);
  p.FillBox(x, y + 2, 2, 4);
  for (int i = 0; i < 5; ++i) {
    p.Plot(x + 3 + i, y + 2 + i);
    p.Plot(x + 2 + i, y + 2 + i);
  }
}

// Outline from L to (x, y) with the corners cut by two pixels.
void CutCornerFrame(Painter& p, Point l, int x, int y) {
  p.Line(l.x + 2, l.y, x - 2, l.y);
  p.Line(x - 2, l.y, x, l.y + 2);
  p.Line(x, l.y + 2, x, y - 2);
  p.Line(x, y - 2, x - 2, y);
  p.Line(l.x + 2, y, x - 2, y);
  p.Line(l.x, y - 2, l.x + 2, y);
  p.Line(l.x, l.y + 2, l.x, y - 2);
  p.Line(l.x, l.y + 2, l.x + 2, l.y);
}

void Circle(Painter& p, int x, int y, int r) {
  // A negative radius draws the same circle as its magnitude; radius 0 draws
  // nothing (its box is empty).
  r = std::abs(r);
  if (r == 1) {
    p.Plot(x, y);
  } else if (r > 1) {
    p.FillEllipse(x - r, y - r, x + r, y + r);
  }
}

void BitPattern(Painter& p, Point& last, int x, int y) {
  // Bits 1-8 of the 9-bit coordinates are the two 8-pixel columns, lowest
  // bit at the top.
  for (int i = 1; i <= 8; ++i) {
    if ((x >> i) & 1) p.Plot(last.x, last.y + i - 1);
  }
  for (int i = 1; i <= 8; ++i) {
    if ((y >> i) & 1) p.Plot(last.x + 1, last.y + i - 1);
  }
  last.x += 2;
}

int NineBitSigned(int v) { return v > 255 ? v - 512 : v; }

}  // namespace

int RunGraphicsCommand(TerminalScreen& screen, Colour drawingColour,
                       GraphicsState& state, const GraphicsCommand& cmd) {
  const int code = cmd.Code();
  const int x = cmd.X();
  const int y = cmd.Y();
  const Point l = state.LastPoint;
  Painter p(screen.image);
  p.SetColour(drawingColour);
  int reply = 0;

  switch (code) {
    case kMove:
      break;
    case kPlot:
      p.Plot(x, y);
      break;
    case kLine:
      p.Line(l.x, l.y, x, y);
      break;
    case kBox:
      BoxBetween(p, l, x, y);
      break;
    case kBlackBox:
      p.SetColour(kBlack);
      BoxBetween(p, l, x, y);
      break;
    case kInvertBox:
      p.SetMode(DrawMode::kInvert);
      BoxBetween(p, l, x, y);
      break;
    case kMousePointer:
      MousePointer(p, x, y);
      break;
    case kCircle:
      Circle(p, x, y, x - l.x);
      break;
    case kFrame:
      CutCornerFrame(p, l, x, y);
      break;
    case kPixelQuery:
      reply = screen.image.Contains(x, y) && screen.image.At(x, y) == kBlack
                  ? kPixelIsBlack
                  : kPixelNotBlack;
      break;
    case kBitPattern:
      BitPattern(p, state.LastPoint, x, y);
      break;
    case kScroll:
      ScrollScreen(screen, NineBitSigned(x), NineBitSigned(y));
      break;
    case kTextCursor:
      screen.CursorColumn = cmd.X8 % screen.Cols;
      screen.CursorRow = cmd.Y8 % screen.Rows;
      break;
    case kFill:
      p.FloodFill(x, y);
      break;
    default:
      break;
  }
  if (code == kMove || code == kPlot || code == kLine) {
    state.LastPoint = {x, y};
  }
  return reply;
}

}  // namespace kestrix
