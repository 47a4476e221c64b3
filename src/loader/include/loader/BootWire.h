#pragma once

#include <cstdint>

namespace kestrix::boot {

// The Propeller 1 boot loader's wire vocabulary, shared by uploads and the
// port search. Host bits and reply bits travel as whole bytes that the chip
// samples: 0xFE is a 0, 0xFF a 1.
inline constexpr std::uint8_t kCalibrationByte = 0xF9;
inline constexpr std::uint8_t kClockByte = 0xF9;
inline constexpr std::uint8_t kBitZero = 0xFE;
inline constexpr std::uint8_t kBitOne = 0xFF;

// The host proves itself with 250 bits of the LFSR; the chip answers the
// next 250 and then its version in 8 bits, least significant first.
inline constexpr int kHostBits = 250;
inline constexpr int kEchoBits = 250;
inline constexpr int kVersionBits = 8;
inline constexpr int kLfsrSeed = 0x50;  // 'P'

// The LFSR both sides run: returns the low bit and steps the state.
inline int LfsrNext(int& state) {
  const int bit = state & 1;
  state = ((state << 1) & 0xFE) |
          (((state >> 7) ^ (state >> 5) ^ (state >> 4) ^ (state >> 1)) & 1);
  return bit;
}

}  // namespace kestrix::boot
