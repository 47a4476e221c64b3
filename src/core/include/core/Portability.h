#pragma once

// The few compiler extensions the drawing code leans on, each with a plain
// C++ stand-in for compilers without it (MSVC): 128-bit integers, four-lane
// pixel vectors and the no-alias qualifier. GCC and Clang get the extensions
// themselves, so their code and speed stay as they were.

#include <cstdint>
#include <cstring>

#include "core/Colour.h"

#if defined(__GNUC__) || defined(_MSC_VER)
#define KESTRIX_RESTRICT __restrict
#else
#define KESTRIX_RESTRICT
#endif

namespace kestrix {

// Two's-complement 128-bit integers from two 64-bit halves: the operations
// the drawing code needs (+, -, *, /, %, comparisons, conversions).
template <bool Signed>
class Int128Of {
 public:
  constexpr Int128Of() = default;
  constexpr Int128Of(std::int64_t v)  // NOLINT: converts like a built-in
      : hi_(v < 0 ? ~std::uint64_t{0} : 0),
        lo_(static_cast<std::uint64_t>(v)) {}

  constexpr std::uint64_t high() const { return hi_; }
  constexpr std::uint64_t low() const { return lo_; }
  constexpr explicit operator std::int64_t() const {
    return static_cast<std::int64_t>(lo_);
  }
  constexpr explicit operator double() const {
    if (Signed && Negative()) return -static_cast<double>(Negate(*this));
    return static_cast<double>(hi_) * 18446744073709551616.0 +
           static_cast<double>(lo_);
  }

  friend constexpr Int128Of operator+(Int128Of a, Int128Of b) {
    const std::uint64_t lo = a.lo_ + b.lo_;
    return Make(a.hi_ + b.hi_ + (lo < a.lo_ ? 1 : 0), lo);
  }
  friend constexpr Int128Of operator-(Int128Of a, Int128Of b) {
    return a + Negate(b);
  }
  // The low 128 bits of the product, the same for signed and unsigned.
  friend constexpr Int128Of operator*(Int128Of a, Int128Of b) {
    Int128Of p = MultiplyHalves(a.lo_, b.lo_);
    p.hi_ += a.hi_ * b.lo_ + a.lo_ * b.hi_;
    return p;
  }
  // Truncating toward zero, as the built-in types do.
  friend constexpr Int128Of operator/(Int128Of a, Int128Of b) {
    Int128Of quotient, remainder;
    DivideSigned(a, b, quotient, remainder);
    return quotient;
  }
  friend constexpr Int128Of operator%(Int128Of a, Int128Of b) {
    Int128Of quotient, remainder;
    DivideSigned(a, b, quotient, remainder);
    return remainder;
  }
  friend constexpr bool operator==(Int128Of a, Int128Of b) {
    return a.hi_ == b.hi_ && a.lo_ == b.lo_;
  }
  friend constexpr bool operator<(Int128Of a, Int128Of b) {
    if (a.hi_ != b.hi_) {
      return Signed ? static_cast<std::int64_t>(a.hi_) <
                          static_cast<std::int64_t>(b.hi_)
                    : a.hi_ < b.hi_;
    }
    return a.lo_ < b.lo_;
  }
  friend constexpr bool operator>(Int128Of a, Int128Of b) { return b < a; }
  friend constexpr bool operator<=(Int128Of a, Int128Of b) { return !(b < a); }
  friend constexpr bool operator>=(Int128Of a, Int128Of b) { return !(a < b); }
  Int128Of& operator++() { return *this = *this + 1; }
  Int128Of& operator--() { return *this = *this - 1; }

 private:
  static constexpr Int128Of Make(std::uint64_t hi, std::uint64_t lo) {
    Int128Of v;
    v.hi_ = hi;
    v.lo_ = lo;
    return v;
  }
  constexpr bool Negative() const { return (hi_ >> 63) != 0; }
  static constexpr Int128Of Negate(Int128Of v) {
    return Make(~v.hi_ + (v.lo_ == 0 ? 1 : 0), ~v.lo_ + 1);
  }
  // The full product of two 64-bit halves, from 32-bit pieces.
  static constexpr Int128Of MultiplyHalves(std::uint64_t a, std::uint64_t b) {
    const std::uint64_t aLo = a & 0xFFFFFFFF, aHi = a >> 32;
    const std::uint64_t bLo = b & 0xFFFFFFFF, bHi = b >> 32;
    const std::uint64_t low = aLo * bLo;
    const std::uint64_t mid1 = aHi * bLo + (low >> 32);
    const std::uint64_t mid2 = aLo * bHi + (mid1 & 0xFFFFFFFF);
    return Make(aHi * bHi + (mid1 >> 32) + (mid2 >> 32),
                (mid2 << 32) | (low & 0xFFFFFFFF));
  }
  // Bit by bit on the magnitudes; a division by zero gives zero.
  static constexpr void DivideUnsigned(Int128Of n, Int128Of d,
                                       Int128Of& quotient,
                                       Int128Of& remainder) {
    quotient = Make(0, 0);
    remainder = Make(0, 0);
    if (d.hi_ == 0 && d.lo_ == 0) return;
    for (int bit = 127; bit >= 0; --bit) {
      remainder = Make((remainder.hi_ << 1) | (remainder.lo_ >> 63),
                       (remainder.lo_ << 1) | (n.Bit(bit) ? 1 : 0));
      if (!(remainder.hi_ < d.hi_ ||
            (remainder.hi_ == d.hi_ && remainder.lo_ < d.lo_))) {
        remainder = remainder + Negate(d);
        if (bit >= 64) {
          quotient.hi_ |= std::uint64_t{1} << (bit - 64);
        } else {
          quotient.lo_ |= std::uint64_t{1} << bit;
        }
      }
    }
  }
  static constexpr void DivideSigned(Int128Of n, Int128Of d, Int128Of& quotient,
                                     Int128Of& remainder) {
    const bool nNegative = Signed && n.Negative();
    const bool dNegative = Signed && d.Negative();
    DivideUnsigned(nNegative ? Negate(n) : n, dNegative ? Negate(d) : d,
                   quotient, remainder);
    if (nNegative != dNegative) quotient = Negate(quotient);
    if (nNegative) remainder = Negate(remainder);
  }
  constexpr bool Bit(int bit) const {
    return bit >= 64 ? ((hi_ >> (bit - 64)) & 1) != 0 : ((lo_ >> bit) & 1) != 0;
  }

  std::uint64_t hi_ = 0;
  std::uint64_t lo_ = 0;
};

// Four pixels as one value, combined lane by lane; a plain Colour operand is
// used in every lane.
struct ColourQuad {
  Colour lane[4];  // trivial, so a quad can be copied with memcpy

  template <typename Op>
  friend ColourQuad Lanes(ColourQuad a, ColourQuad b, Op op) {
    for (int i = 0; i < 4; ++i) a.lane[i] = op(a.lane[i], b.lane[i]);
    return a;
  }
  static ColourQuad All(Colour c) { return {{c, c, c, c}}; }
  friend ColourQuad operator+(ColourQuad a, Colour c) {
    return Lanes(a, All(c), [](Colour x, Colour y) { return x + y; });
  }
  friend ColourQuad operator^(ColourQuad a, Colour c) {
    return Lanes(a, All(c), [](Colour x, Colour y) { return x ^ y; });
  }
  friend ColourQuad operator&(ColourQuad a, Colour c) {
    return Lanes(a, All(c), [](Colour x, Colour y) { return x & y; });
  }
  friend ColourQuad operator|(ColourQuad a, ColourQuad b) {
    return Lanes(a, b, [](Colour x, Colour y) { return x | y; });
  }
  friend ColourQuad operator~(ColourQuad a) {
    for (Colour& c : a.lane) c = ~c;
    return a;
  }
};

#if defined(__SIZEOF_INT128__) && !defined(KESTRIX_PORTABLE_ONLY)
__extension__ using Int128 = __int128;
__extension__ using UInt128 = unsigned __int128;
#else
using Int128 = Int128Of<true>;
using UInt128 = Int128Of<false>;
#endif

#if defined(__GNUC__) && !defined(KESTRIX_PORTABLE_ONLY)
// GCC's and Clang's vector extension, so the row loops run vectorised at the
// default -O2 too, where short loops such as an 8-pixel glyph row are left
// alone by the auto-vectoriser.
typedef Colour Quad __attribute__((vector_size(4 * sizeof(Colour))));
#else
using Quad = ColourQuad;
#endif

inline Quad LoadQuad(const Colour* p) {
  Quad q;
  std::memcpy(&q, p, sizeof q);
  return q;
}

inline void StoreQuad(Colour* p, Quad q) { std::memcpy(p, &q, sizeof q); }

}  // namespace kestrix
