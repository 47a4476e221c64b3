#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>

#include "core/Portability.h"

namespace kestrix {
namespace {

// The stand-ins for compilers without the extensions must compute what the
// extensions compute; this compiler has them, so they serve as the reference.
#if defined(__SIZEOF_INT128__)
__extension__ using Native = __int128;
__extension__ using NativeUnsigned = unsigned __int128;

Native AsNative(Int128Of<true> v) {
  return static_cast<Native>((NativeUnsigned(v.high()) << 64) | v.low());
}

TEST(Int128StandIn, AgreesWithTheBuiltInType) {
  using Fallback = Int128Of<true>;
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  const struct {
    const char* name;
    std::int64_t a, b, c;  // (a * b + c) against b
  } rows[] = {{"small", 7, 3, 0},
              {"negative dividend", -7, 3, -1},
              {"negative divisor", 7, -3, 5},
              {"beyond 64 bits", kMax, kMax - 12, 123456789},
              {"negative beyond 64 bits", -kMax, 1LL << 40, -99},
              {"both negative", -(1LL << 50), -(1LL << 33), 17}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const Fallback f = Fallback(row.a) * row.b + row.c;
    const Native n = Native(row.a) * row.b + row.c;
    const Fallback d = row.b;
    EXPECT_EQ(AsNative(f), n);
    EXPECT_EQ(AsNative(f / d), n / row.b);
    EXPECT_EQ(AsNative(f % d), n % row.b);
    EXPECT_EQ(AsNative(f - d * d), n - Native(row.b) * row.b);
    EXPECT_EQ(f < d, n < row.b);
    EXPECT_EQ(f > d, n > row.b);
    EXPECT_DOUBLE_EQ(static_cast<double>(f), static_cast<double>(n));
    // Unsigned: the same bits, compared and converted without sign.
    const Int128Of<false> u = Int128Of<false>(row.a) * row.b + row.c;
    const NativeUnsigned nu = NativeUnsigned(n);
    EXPECT_EQ(u <= Int128Of<false>(row.b), nu <= NativeUnsigned(row.b));
    EXPECT_DOUBLE_EQ(static_cast<double>(u), static_cast<double>(nu));
  }
}
#endif

TEST(QuadStandIn, CombinesLaneByLane) {
  const Colour in[4] = {0x000000, 0x123456, 0xFFFFFF, 0xFF00FF00};
  const Colour other[4] = {0xFFFFFF, 0x0F0F0F, 0x000001, 0x00FF00FF};
  ColourQuad a, b;
  std::memcpy(a.lane, in, sizeof in);
  std::memcpy(b.lane, other, sizeof other);
  const ColourQuad broadcast = ColourQuad{} + 0xABCDEFu;
  const ColourQuad flipped = a ^ kColourMask;
  const ColourQuad masked = a & kColourMask;
  const ColourQuad nor = ~(a | b) & kColourMask;
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(broadcast.lane[i], 0xABCDEFu) << "broadcast " << i;
    EXPECT_EQ(flipped.lane[i], in[i] ^ kColourMask) << "invert " << i;
    EXPECT_EQ(masked.lane[i], in[i] & kColourMask) << "copy " << i;
    EXPECT_EQ(nor.lane[i], ~(in[i] | other[i]) & kColourMask) << "nor " << i;
  }
}

}  // namespace
}  // namespace kestrix
