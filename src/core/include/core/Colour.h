#pragma once

#include <array>
#include <cstdint>

namespace kestrix {

// A 24-bit colour reference: 0x00BBGGRR, red in the lowest byte. The device
// reads pixels back, so these values are part of the wire contract.
using Colour = std::uint32_t;

inline constexpr Colour kBlack = 0x000000;
inline constexpr Colour kWhite = 0xFFFFFF;
inline constexpr Colour kColourMask = 0xFFFFFF;

// Eight colour references, selected by the low three bits of the text colour.
using Palette = std::array<Colour, 8>;

inline constexpr Palette kStartPalette = {
    0xFFFFFF,  // white
    0xFFFF00,  // cyan
    0x0000FF,  // red
    0xFF00FF,  // magenta
    0xFF0000,  // blue
    0x00FF00,  // green
    0x00FFFF,  // yellow
    0xC0C0C0,  // light grey
};

}  // namespace kestrix
