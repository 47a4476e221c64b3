#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "core/Raster.h"

namespace kestrix {

// Larger images are refused before any pixel memory is allocated.
inline constexpr int kMaxPngDimension = 8192;

// Decodes a PNG held in memory: palette, grey and RGB images of any bit depth
// become colour references; alpha and transparency are dropped, 16-bit
// samples are scaled to 8 bits, gamma is ignored. Corrupt, truncated or
// oversized input gives no image and the reason.
struct DecodedPng {
  std::optional<Raster> image;
  std::string error;  // empty when there is an image
};
DecodedPng DecodePng(std::span<const std::uint8_t> data);

}  // namespace kestrix
