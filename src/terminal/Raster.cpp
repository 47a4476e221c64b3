#include "terminal/Raster.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace kestrix {

namespace {

// Coordinates arrive as arbitrary ints (device offsets, INT_MIN/INT_MAX from
// callers); every sum and difference is formed in 64 bits so nothing wraps.
using Wide = std::int64_t;
// Products of two 32-bit extents squared need 128 bits; GCC provides them.
__extension__ using UWide2 = unsigned __int128;
__extension__ using Wide2 = __int128;

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

void SetRun(Colour* p, int n, Colour c) { std::fill_n(p, n, c); }

void InvertRun(Colour* p, int n) {
  for (int i = 0; i < n; ++i) p[i] ^= kColourMask;
}

void CopyRun(Colour* d, const Colour* s, int n) {
  for (int i = 0; i < n; ++i) d[i] = s[i] & kColourMask;
}

void NorRun(Colour* d, const Colour* s, int n) {
  for (int i = 0; i < n; ++i) d[i] = ~(s[i] | d[i]) & kColourMask;
}

// One pixel of a line, clipped; lines are not a hot path.
void TouchPixel(Raster& r, Wide x, Wide y, DrawMode mode, Colour colour) {
  if (x < 0 || y < 0 || x >= r.width() || y >= r.height()) return;
  Colour& p = r.At(static_cast<int>(x), static_cast<int>(y));
  p = mode == DrawMode::kInvert ? (p ^ kColourMask) : colour;
}

}  // namespace

Raster::Raster(int width, int height, Colour fill)
    : width_(std::max(width, 0)), height_(std::max(height, 0)) {
  pixels_.assign(
      static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_),
      fill & kColourMask);
}

void Painter::FillBox(int left, int top, int width, int height) {
  int x0, x1, y0, y1;
  if (!ClipSpan(left, width, target_.width(), x0, x1) ||
      !ClipSpan(top, height, target_.height(), y0, y1)) {
    return;
  }
  const int n = x1 - x0;
  for (int y = y0; y < y1; ++y) {
    Colour* row = target_.Row(y) + x0;
    if (mode_ == DrawMode::kInvert) {
      InvertRun(row, n);
    } else {
      SetRun(row, n, colour_);
    }
  }
}

void Painter::Plot(int x, int y) { TouchPixel(target_, x, y, mode_, colour_); }

// Bresenham along the major axis (x when |dx| >= |dy|). After j steps the
// minor offset is round(j * minor / major) with exact halves rounded towards
// the start point, which is the classic decision "step when D > 0". The
// closed form lets the walk start at the first step inside the raster, so at
// most width (or height) steps are taken whatever the end points are.
void Painter::Line(int x0, int y0, int x1, int y1) {
  if (target_.empty()) return;
  const Wide dx = Wide{x1} - x0;
  const Wide dy = Wide{y1} - y0;
  const bool x_major = (dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy);
  // Rename so that "u" is the major axis and "v" the minor one.
  const Wide u0 = x_major ? x0 : y0;
  const Wide v0 = x_major ? y0 : x0;
  const Wide du = x_major ? dx : dy;
  const Wide dv = x_major ? dy : dx;
  const Wide su = du < 0 ? -1 : 1;
  const Wide sv = dv < 0 ? -1 : 1;
  const Wide major = du < 0 ? -du : du;
  const Wide minor = dv < 0 ? -dv : dv;
  if (major == 0) {
    TouchPixel(target_, x0, y0, mode_, colour_);
    return;
  }
  const Wide u_limit = x_major ? target_.width() : target_.height();
  // Steps j in [0, major] whose major coordinate u0 + su*j lies in
  // [0, u_limit).
  Wide j_first, j_last;
  if (su > 0) {
    j_first = std::max<Wide>(0, -u0);
    j_last = std::min<Wide>(major, u_limit - 1 - u0);
  } else {
    j_first = std::max<Wide>(0, u0 - (u_limit - 1));
    j_last = std::min<Wide>(major, u0);
  }
  if (j_first > j_last) return;

  // offset(j) = floor((2*j*minor + major - 1) / (2*major)); keep the
  // quotient and remainder and advance them one step at a time.
  const Wide denom = 2 * major;
  const Wide2 num = Wide2{2} * j_first * minor + major - 1;
  Wide offset = static_cast<Wide>(num / denom);
  Wide rem = static_cast<Wide>(num % denom);
  const Wide step = 2 * minor;
  for (Wide j = j_first; j <= j_last; ++j) {
    const Wide u = u0 + su * j;
    const Wide v = v0 + sv * offset;
    if (x_major) {
      TouchPixel(target_, u, v, mode_, colour_);
    } else {
      TouchPixel(target_, v, u, mode_, colour_);
    }
    rem += step;
    if (rem >= denom) {
      rem -= denom;
      ++offset;
    }
  }
}

// A pixel is inside when its centre, measured in half pixels from the box
// centre as (dx, dy), satisfies dx²h² + dy²w² <= w²h². The extents can reach
// 2^32 - 1, so the products are taken in unsigned 128 bits, where each fits.
// Each row inside both box and raster costs one binary search of at most 33
// steps, so the work is bounded by the raster height.
void Painter::FillEllipse(int left, int top, int right, int bottom) {
  const Wide w = Wide{right} - left;
  const Wide h = Wide{bottom} - top;
  int y_lo, y_hi, x_lo, x_hi;
  if (!ClipSpan(top, h, target_.height(), y_lo, y_hi) ||
      !ClipSpan(left, w, target_.width(), x_lo, x_hi)) {
    return;
  }
  const UWide2 ww = UWide2(w) * UWide2(w);
  const UWide2 hh = UWide2(h) * UWide2(h);
  const Wide sum_x = Wide{left} + right;
  const Wide sum_y = Wide{top} + bottom;
  // dx has the parity of w + 1 for every pixel of the box.
  const Wide parity = (w + 1) & 1;
  for (int py = y_lo; py < y_hi; ++py) {
    const Wide dy = 2 * Wide{py} + 1 - sum_y;  // |dy| <= h - 1
    const UWide2 dy2 = UWide2(dy < 0 ? -dy : dy) * UWide2(dy < 0 ? -dy : dy);
    const UWide2 bound = ww * (hh - dy2);  // < 2^128
    // Largest d in [0, w - 1] with d²h² <= bound; d = 0 always qualifies.
    Wide lo = 0, hi = w - 1;
    while (lo < hi) {
      const Wide mid = lo + (hi - lo + 1) / 2;
      const UWide2 m = UWide2(mid);
      if (m * m * hh <= bound) {
        lo = mid;
      } else {
        hi = mid - 1;
      }
    }
    Wide reach = lo;
    if ((reach & 1) != parity) --reach;
    if (reach < 0) continue;
    const Wide first = (-reach + sum_x - 1) / 2;
    const Wide last = (reach + sum_x - 1) / 2;
    const Wide a = std::max<Wide>(first, x_lo);
    const Wide b = std::min<Wide>(last + 1, x_hi);
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
  auto seed_runs = [&](int row_y, int from, int to) {
    const Colour* row = target_.Row(row_y);
    int i = from;
    while (i <= to) {
      while (i <= to && row[i] != old) ++i;
      if (i > to) break;
      stack.push_back({i, row_y});
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
    if (s.y > 0) seed_runs(s.y - 1, l, r);
    if (s.y + 1 < height) seed_runs(s.y + 1, l, r);
  }
}

// Target pixel (tx, ty) takes source pixel (tx + ox, ty + oy). When src is
// the target itself the rows are visited in the order that reads every
// source row before it is overwritten, and a row that reads itself goes
// through a copy, so the result is as if taken from a snapshot.
void Painter::Blit(const Raster& src, int sx, int sy, int w, int h, int dx,
                   int dy) {
  int x0, x1, y0, y1;
  if (!ClipSpan(dx, w, target_.width(), x0, x1) ||
      !ClipSpan(dy, h, target_.height(), y0, y1)) {
    return;
  }
  const Wide ox = Wide{sx} - dx;
  const Wide oy = Wide{sy} - dy;
  // Columns [cx0, cx1) of the clipped target read inside src; the columns
  // before and after read black.
  Wide cx0 = std::clamp<Wide>(-ox, x0, x1);
  Wide cx1 = std::clamp<Wide>(Wide{src.width()} - ox, cx0, x1);
  const bool aliased = &src == &target_;
  std::vector<Colour> line;
  if (aliased && oy == 0 && cx1 > cx0) {
    line.resize(static_cast<std::size_t>(cx1 - cx0));
  }
  const bool invert = mode_ == DrawMode::kInvert;
  const bool bottom_up = aliased && oy < 0;
  for (int k = 0; k < y1 - y0; ++k) {
    const int ty = bottom_up ? y1 - 1 - k : y0 + k;
    Colour* row = target_.Row(ty);
    const Wide src_y = ty + oy;
    const bool row_inside = src_y >= 0 && src_y < src.height();
    const int in_begin = row_inside ? static_cast<int>(cx0) : x1;
    const int in_end = row_inside ? static_cast<int>(cx1) : x1;
    if (in_begin < in_end) {
      const int n = in_end - in_begin;
      const Colour* from =
          src.Row(static_cast<int>(src_y)) + static_cast<int>(in_begin + ox);
      if (!line.empty()) {
        std::memcpy(line.data(), from, sizeof(Colour) * line.size());
        from = line.data();
      }
      if (invert) {
        NorRun(row + in_begin, from, n);
      } else {
        CopyRun(row + in_begin, from, n);
      }
    }
    // Black source, written after the read because in a self-blit these
    // columns may be the source of others: copy gives black, NOT(0 OR d)
    // the complement.
    if (invert) {
      InvertRun(row + x0, in_begin - x0);
      InvertRun(row + in_end, x1 - in_end);
    } else {
      SetRun(row + x0, in_begin - x0, kBlack);
      SetRun(row + in_end, x1 - in_end, kBlack);
    }
  }
}

}  // namespace kestrix
