#pragma once

#include <array>
#include <cstdint>

namespace kestrix {

// Room for a full 32 KiB Propeller 1 hub image (8192 longs) plus a little
// slack for files that run slightly past it.
inline constexpr int kLoaderImageLongs = 8201;

// The program image handed to the boot loader, one 32-bit long per entry,
// filled from the file four bytes per long, first byte least significant.
using LoaderImage = std::array<std::uint32_t, kLoaderImageLongs>;

}  // namespace kestrix
