#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "loader/BootWire.h"

namespace kestrix::boot {

// The calibration byte followed by the 250 host bits, as they go on the wire.
std::array<std::uint8_t, 1 + kHostBits> HostBytes();

// What a chip answered to the host bits.
struct ChipAnswer {
  // The 250 echo bits continued the LFSR sequence; the version was read.
  bool echoed = false;
  // 0..255, negative when version bits went missing.
  int version = -1;
};

// Reads the chip's answer: the 250 echo bits, stopping at the first wrong or
// missing one, then the version in 8 bits, least significant first.
// readBit(budgetMs) returns 0, 1, or -1 when nothing came in time.
ChipAnswer ReadChipAnswer(const std::function<int(int budgetMs)>& readBit,
                          int echoBudgetMs, int versionBudgetMs);

}  // namespace kestrix::boot
