#pragma once

#include <cstdint>
#include <span>

namespace kestrix::assets {

// The PNG files of assets/, compiled into the program.
std::span<const std::uint8_t> GlyphSheetPng();
std::span<const std::uint8_t> LogoPng();

}  // namespace kestrix::assets
