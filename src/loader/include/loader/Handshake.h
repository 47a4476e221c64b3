#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "loader/BootWire.h"

namespace kestrix::boot {

// The calibration byte followed by the 250 host bits, as they go on the wire.
std::array<std::uint8_t, 1 + kHostBits> HostBytes();

// Reads the chip's answer to the host bits: the 250 echo bits, which must
// continue the LFSR sequence, then the version in 8 bits, least significant
// first. readBit(budgetMs) returns 0, 1, or -1 when nothing came in time.
// Returns the version (0..255), -1 after a wrong or missing echo bit, or
// another negative value when version bits went missing.
int ReadChipAnswer(const std::function<int(int budgetMs)>& readBit,
                   int echoBudgetMs, int versionBudgetMs);

}  // namespace kestrix::boot
