#include "terminal/Painter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "core/Portability.h"

namespace kestrix {

namespace {

// Coordinates arrive as arbitrary ints (device offsets, INT_MIN/INT_MAX from
// callers); every sum and difference is formed in 64 bits so nothing wraps.
using Wide = std::int64_t;
// Products of two 32-bit extents squared need 128 bits.
using UWide2 = UInt128;
using Wide2 = Int128;

// The half-open interval [start, start + length) clipped to [0, limit).
// Returns false when nothing is left.
bool ClipSpan(Wide start, Wide length, int limit, int& lo, int& hi) {
  if (length <= 0) return false;
  const Wide begin = std::max<Wide>(start, 0);
  const Wide end = std::min<Wide>(start + length, limit);
  if (begin >= end) return false;
  lo = static_cast<int>(begin);
  hi = static_cast<int>(end);
  return true;
}

// Row loops work on four pixels at a time (Quad), so they run vectorised at
// the project's default -O2 as well.

// d[i] = op(d[i]) for a run of n pixels; op takes a Colour or a Quad.
template <typename Op>
inline void MapRun(Colour* d, int n, Op op) {
  int i = 0;
  for (; i + 4 <= n; i += 4) StoreQuad(d + i, op(LoadQuad(d + i)));
  for (; i < n; ++i) d[i] = op(d[i]);
}

// d[i] = op(s[i], d[i]); every source quad is loaded before its store, so
// s may equal d but must not otherwise overlap it.
template <typename Op>
inline void CombineRun(Colour* d, const Colour* s, int n, Op op) {
  int i = 0;
  for (; i + 4 <= n; i += 4) {
    StoreQuad(d + i, op(LoadQuad(s + i), LoadQuad(d + i)));
  }
  for (; i < n; ++i) d[i] = op(s[i], d[i]);
}

inline void SetRun(Colour* p, int n, Colour c) {
  // decltype(v){} + c is c broadcast to the width of v.
  MapRun(p, n, [c](auto v) { return decltype(v){} + c; });
}

inline void InvertRun(Colour* p, int n) {
  MapRun(p, n, [](auto v) { return v ^ kColourMask; });
}

inline void CopyRun(Colour* d, const Colour* s, int n) {
  CombineRun(d, s, n, [](auto src, auto) { return src & kColourMask; });
}

inline void NorRun(Colour* d, const Colour* s, int n) {
  CombineRun(d, s, n,
             [](auto src, auto dst) { return ~(src | dst) & kColourMask; });
}

// One pixel of a line, clipped; lines are not a hot path.
void TouchPixel(Raster& r, Wide x, Wide y, DrawMode mode, Colour colour) {
  if (x < 0 || y < 0 || x >= r.width() || y >= r.height()) return;
  Colour& p = r.At(static_cast<int>(x), static_cast<int>(y));
  p = mode == DrawMode::kInvert ? (p ^ kColourMask) : colour;
}

// A clipped rectangle: columns [x0, x1), rows [y0, y1).
struct Box {
  int x0, x1, y0, y1;
};

// The row loops of a blit; see Painter::Blit.
template <typename Combine, typename FromBlack>
void BlitRows(Raster& target, const Raster& src, Wide ox, Wide oy, Box clip,
              Box inside, Combine combine, FromBlack fromBlack) {
  const bool aliased = &src == &target;
  const int n = inside.x1 - inside.x0;
  std::vector<Colour> line;
  if (aliased && oy == 0 && n > 0) line.resize(static_cast<std::size_t>(n));
  const bool bottomUp = aliased && oy < 0;
  const bool blackColumns = inside.x0 > clip.x0 || inside.x1 < clip.x1;
  // Rows are fetched one at a time: the rasters keep their rows as a ring.
  const int rows = inside.y1 - inside.y0;
  const int first = bottomUp ? inside.y1 - 1 : inside.y0;
  const int step = bottomUp ? -1 : 1;
  const int leftBlack = inside.x0 - clip.x0;
  const int rightBlack = clip.x1 - inside.x1;
  int y = first;
  for (int k = 0; k < rows; ++k, y += step) {
    Colour* row = target.Row(y);
    if (n > 0) {
      const Colour* from = src.Row(static_cast<int>(y + oy)) + (inside.x0 + ox);
      if (!line.empty()) {
        std::memcpy(line.data(), from, sizeof(Colour) * line.size());
        from = line.data();
      }
      combine(row + inside.x0, from, n);
    }
    if (blackColumns) {
      fromBlack(row + clip.x0, leftBlack);
      fromBlack(row + inside.x1, rightBlack);
    }
  }
  const int width = clip.x1 - clip.x0;
  for (int ty = clip.y0; ty < inside.y0; ++ty) {
    fromBlack(target.Row(ty) + clip.x0, width);
  }
  for (int ty = inside.y1; ty < clip.y1; ++ty) {
    fromBlack(target.Row(ty) + clip.x0, width);
  }
}

}  // namespace

void Painter::FillBox(int left, int top, int width, int height) {
  int x0, x1, y0, y1;
  if (!ClipSpan(left, width, target_.width(), x0, x1) ||
      !ClipSpan(top, height, target_.height(), y0, y1)) {
    return;
  }
  const int n = x1 - x0;
  // A local, not colour_: stores through Colour* may alias it.
  const Colour colour = colour_;
  if (mode_ == DrawMode::kInvert) {
    for (int y = y0; y < y1; ++y) InvertRun(target_.Row(y) + x0, n);
  } else {
    for (int y = y0; y < y1; ++y) SetRun(target_.Row(y) + x0, n, colour);
  }
}

void Painter::Plot(int x, int y) { TouchPixel(target_, x, y, mode_, colour_); }

// Bresenham along the major axis (x when |dx| >= |dy|). After j steps the
// minor offset is round(j * minor / major) with exact halves rounded towards
// the start point, which is the classic decision "step when D > 0". The
// closed form gives the steps whose pixel lies inside the raster on both
// axes before the walk starts, so at most width (or height) steps are taken
// whatever the end points are, and the walk itself needs no bounds checks.
void Painter::Line(int x0, int y0, int x1, int y1) {
  if (target_.empty()) return;
  const Wide dx = Wide{x1} - x0;
  const Wide dy = Wide{y1} - y0;
  const bool xMajor = (dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy);
  // Rename so that "u" is the major axis and "v" the minor one.
  const Wide u0 = xMajor ? x0 : y0;
  const Wide v0 = xMajor ? y0 : x0;
  const Wide du = xMajor ? dx : dy;
  const Wide dv = xMajor ? dy : dx;
  const Wide su = du < 0 ? -1 : 1;
  const Wide sv = dv < 0 ? -1 : 1;
  const Wide major = du < 0 ? -du : du;
  const Wide minor = dv < 0 ? -dv : dv;
  if (major == 0) {
    Plot(x0, y0);
    return;
  }
  const Wide uLimit = xMajor ? target_.width() : target_.height();
  const Wide vLimit = xMajor ? target_.height() : target_.width();
  // Steps j in [0, major] whose major coordinate u0 + su*j lies inside.
  Wide jFirst = std::max<Wide>(0, su > 0 ? -u0 : u0 - (uLimit - 1));
  Wide jLast = std::min<Wide>(major, su > 0 ? uLimit - 1 - u0 : u0);
  // Minor offsets in [a, b] keep v0 + sv*offset inside. With
  // offset(j) = floor((2*j*minor + major - 1) / (2*major)):
  // offset(j) >= a  <=>  2*j*minor >= (2a - 1) * major + 1 and
  // offset(j) <= b  <=>  2*j*minor <= (2b + 1) * major.
  const Wide a = sv > 0 ? -v0 : v0 - (vLimit - 1);
  const Wide b = sv > 0 ? vLimit - 1 - v0 : v0;
  if (minor == 0) {
    if (a > 0 || b < 0) return;
  } else {
    const Wide2 twiceMinor = Wide2{2} * minor;
    const Wide2 low = (Wide2{2} * a - 1) * major + 1;
    const Wide2 high = (Wide2{2} * b + 1) * major;
    // Ceiling and floor of the quotients; the divisor is positive.
    Wide2 jLow = low / twiceMinor;
    if (low % twiceMinor != 0 && low > 0) ++jLow;
    Wide2 jHigh = high / twiceMinor;
    if (high % twiceMinor != 0 && high < 0) --jHigh;
    jFirst = static_cast<Wide>(std::max<Wide2>(jFirst, jLow));
    jLast = static_cast<Wide>(std::min<Wide2>(jLast, jHigh));
  }
  if (jFirst > jLast) return;

  // Keep the quotient and remainder of offset(j) and advance them one step
  // at a time.
  const Wide denom = 2 * major;
  const Wide2 num = Wide2{2} * jFirst * minor + major - 1;
  Wide offset = static_cast<Wide>(num / denom);
  Wide rem = static_cast<Wide>(num % denom);
  const Wide step = 2 * minor;
  const Wide u = u0 + su * jFirst;
  const Wide v = v0 + sv * offset;
  // The rows the walk may reach: those between the end points, clipped.
  const Wide yLow = std::max<Wide>(std::min(y0, y1), 0);
  const Wide yHigh = std::min<Wide>(std::max(y0, y1), target_.height() - 1);
  // The walk steps through the pixels as one array in storage order, where
  // the rows are a ring starting at RingTop().
  const std::ptrdiff_t stride = target_.width();
  const std::ptrdiff_t total = stride * target_.height();
  Colour* const pixels =
      target_.pixels(static_cast<int>(yLow), static_cast<int>(yHigh)).data();
  std::ptrdiff_t at = (xMajor ? v * stride + u : u * stride + v) +
                      std::ptrdiff_t{target_.RingTop()} * stride;
  if (at >= total) at -= total;
  const std::ptrdiff_t majorStep = xMajor ? su : su * stride;
  const std::ptrdiff_t minorStep = xMajor ? sv * stride : sv;
  const Wide count = jLast - jFirst + 1;
  auto walk = [&](auto touch, auto move) {
    for (Wide k = 0; k < count; ++k) {
      touch(pixels[at]);
      move(majorStep);
      rem += step;
      if (rem >= denom) {
        rem -= denom;
        move(minorStep);
      }
    }
  };
  const auto straight = [&](std::ptrdiff_t by) { at += by; };
  // Only a walk over the rows where the ring ends needs to wrap round.
  const auto wrapping = [&](std::ptrdiff_t by) {
    at += by;
    if (at >= total) at -= total;
    if (at < 0) at += total;
  };
  const Wide ringEnd = Wide{target_.height()} - target_.RingTop();
  const bool crossesRingEnd =
      target_.RingTop() != 0 && yLow < ringEnd && yHigh >= ringEnd;
  auto draw = [&](auto touch) {
    if (crossesRingEnd) {
      walk(touch, wrapping);
    } else {
      walk(touch, straight);
    }
  };
  if (mode_ == DrawMode::kInvert) {
    draw([](Colour& p) { p ^= kColourMask; });
  } else {
    draw([c = colour_](Colour& p) { p = c; });
  }
}

// A pixel is inside when its centre, measured in half pixels from the box
// centre as (dx, dy), satisfies dx²h² + dy²w² <= w²h². The extents can reach
// 2^32 - 1, so the products are taken in unsigned 128 bits, where each fits.
// Only rows inside both box and raster are examined, each in constant time.
void Painter::FillEllipse(int left, int top, int right, int bottom) {
  const Wide w = Wide{right} - left;
  const Wide h = Wide{bottom} - top;
  int yLo, yHi, xLo, xHi;
  if (!ClipSpan(top, h, target_.height(), yLo, yHi) ||
      !ClipSpan(left, w, target_.width(), xLo, xHi)) {
    return;
  }
  const UWide2 ww = UWide2(w) * UWide2(w);
  const UWide2 hh = UWide2(h) * UWide2(h);
  const Wide sumX = Wide{left} + right;
  const Wide sumY = Wide{top} + bottom;
  // dx has the parity of w + 1 for every pixel of the box.
  const Wide parity = (w + 1) & 1;
  for (int py = yLo; py < yHi; ++py) {
    const Wide dy = 2 * Wide{py} + 1 - sumY;  // |dy| <= h - 1
    const UWide2 dy2 = UWide2(dy < 0 ? -dy : dy) * UWide2(dy < 0 ? -dy : dy);
    const UWide2 bound = ww * (hh - dy2);  // < 2^128
    // Largest d in [0, w - 1] with d²h² <= bound (d = 0 always qualifies):
    // a floating-point estimate, then exact integer steps, of which there
    // are at most a few since the estimate's relative error is about 1e-15.
    auto fits = [&](Wide d) { return UWide2(d) * UWide2(d) * hh <= bound; };
    const double ratio =
        static_cast<double>(hh - dy2) / static_cast<double>(hh);
    Wide lo = std::clamp<Wide>(
        static_cast<Wide>(static_cast<double>(w) * std::sqrt(ratio)), 0, w - 1);
    while (lo > 0 && !fits(lo)) --lo;
    while (lo < w - 1 && fits(lo + 1)) ++lo;
    Wide reach = lo;
    if ((reach & 1) != parity) --reach;
    if (reach < 0) continue;
    const Wide first = (-reach + sumX - 1) / 2;
    const Wide last = (reach + sumX - 1) / 2;
    const Wide a = std::max<Wide>(first, xLo);
    const Wide b = std::min<Wide>(last + 1, xHi);
    if (a >= b) continue;
    Colour* row = target_.Row(py) + a;
    const int n = static_cast<int>(b - a);
    if (mode_ == DrawMode::kInvert) {
      InvertRun(row, n);
    } else {
      SetRun(row, n, colour_);
    }
  }
}

// Scanline fill with an explicit stack of seeds. Each popped seed grows into
// the maximal run of the old colour on its row; the rows above and below get
// one seed per run of old-colour pixels under that span.
void Painter::FloodFill(int x, int y) {
  if (!target_.Contains(x, y)) return;
  const Colour old = target_.At(x, y);
  const Colour fresh = colour_;
  if (old == fresh) return;
  const int width = target_.width();
  const int height = target_.height();

  struct Seed {
    int x;
    int y;
  };
  std::vector<Seed> stack;
  stack.push_back({x, y});
  auto seedRuns = [&](int rowY, int from, int to) {
    const Colour* row = target_.Row(rowY);
    int i = from;
    while (i <= to) {
      while (i <= to && row[i] != old) ++i;
      if (i > to) break;
      stack.push_back({i, rowY});
      while (i <= to && row[i] == old) ++i;
    }
  };
  while (!stack.empty()) {
    const Seed s = stack.back();
    stack.pop_back();
    Colour* row = target_.Row(s.y);
    if (row[s.x] != old) continue;
    int l = s.x;
    while (l > 0 && row[l - 1] == old) --l;
    int r = s.x;
    while (r + 1 < width && row[r + 1] == old) ++r;
    SetRun(row + l, r - l + 1, fresh);
    if (s.y > 0) seedRuns(s.y - 1, l, r);
    if (s.y + 1 < height) seedRuns(s.y + 1, l, r);
  }
}

// Target pixel (tx, ty) takes source pixel (tx + ox, ty + oy). When src is
// the target itself, the rows that read inside src are visited in the order
// that reads every source row before it is overwritten, a row that reads
// itself goes through a copy, and the parts that read black are written last,
// so the result is as if taken from a snapshot.
void Painter::Blit(const Raster& src, int sx, int sy, int w, int h, int dx,
                   int dy) {
  int x0, x1, y0, y1;
  if (!ClipSpan(dx, w, target_.width(), x0, x1) ||
      !ClipSpan(dy, h, target_.height(), y0, y1)) {
    return;
  }
  const Wide ox = Wide{sx} - dx;
  const Wide oy = Wide{sy} - dy;
  // Target columns [cx0, cx1) and rows [cy0, cy1) read inside src.
  const int cx0 = static_cast<int>(std::clamp<Wide>(-ox, x0, x1));
  const int cx1 =
      static_cast<int>(std::clamp<Wide>(Wide{src.width()} - ox, cx0, x1));
  const int cy0 = static_cast<int>(std::clamp<Wide>(-oy, y0, y1));
  const int cy1 =
      static_cast<int>(std::clamp<Wide>(Wide{src.height()} - oy, cy0, y1));
  if (mode_ == DrawMode::kInvert) {
    BlitRows(
        target_, src, ox, oy, {x0, x1, y0, y1}, {cx0, cx1, cy0, cy1},
        [](Colour* d, const Colour* s, int n) { NorRun(d, s, n); },
        [](Colour* row, int n) { InvertRun(row, n); });
  } else {
    BlitRows(
        target_, src, ox, oy, {x0, x1, y0, y1}, {cx0, cx1, cy0, cy1},
        [](Colour* d, const Colour* s, int n) { CopyRun(d, s, n); },
        [](Colour* row, int n) { SetRun(row, n, kBlack); });
  }
}

}  // namespace kestrix
