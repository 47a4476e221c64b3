#include "loader/Handshake.h"

namespace kestrix::boot {

std::array<std::uint8_t, 1 + kHostBits> HostBytes() {
  std::array<std::uint8_t, 1 + kHostBits> bytes{};
  int lfsr = kLfsrSeed;
  bytes[0] = kCalibrationByte;
  for (int i = 1; i <= kHostBits; ++i) {
    bytes[i] = static_cast<std::uint8_t>(kBitZero | LfsrNext(lfsr));
  }
  return bytes;
}

ChipAnswer ReadChipAnswer(const std::function<int(int budgetMs)>& readBit,
                          int echoBudgetMs, int versionBudgetMs) {
  // The echo continues the sequence right after the host bits.
  int lfsr = kLfsrSeed;
  for (int i = 0; i < kHostBits; ++i) LfsrNext(lfsr);
  for (int i = 0; i < kEchoBits; ++i) {
    if (readBit(echoBudgetMs) != LfsrNext(lfsr)) return {};
  }
  // Least significant bit first; a missing bit (-1) makes the result
  // negative. Multiplying keeps the negative case well defined.
  int version = 0;
  for (int i = 0; i < kVersionBits; ++i) {
    version = (version >> 1) | (readBit(versionBudgetMs) * 128);
  }
  return {true, version};
}

}  // namespace kestrix::boot
