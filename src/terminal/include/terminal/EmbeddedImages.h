#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "core/Raster.h"

namespace kestrix {

// The sheet of 256 glyphs, 32 across and 8 down, each 8x17 pixels.
inline constexpr int kGlyphSheetWidth = 256;
inline constexpr int kGlyphSheetHeight = 136;
// The banner drawn before EEPROM uploads.
inline constexpr int kLogoWidth = 210;
inline constexpr int kLogoHeight = 85;

// The two pictures compiled into the program, decoded. The caller owns them
// for the whole run.
struct EmbeddedImages {
  Raster glyphSheet;
  Raster logo;
};

// Decodes the given PNG bytes and checks the sizes and that the sheet holds
// only black and white (glyphs are drawn with NOT(glyph OR screen), so any
// other colour would tint text). On failure there are no images and the
// error starts "glyph sheet: " or "logo: ".
struct LoadedImages {
  std::optional<EmbeddedImages> images;
  std::string error;  // empty when there are images
};
LoadedImages LoadEmbeddedImages(std::span<const std::uint8_t> glyphSheetPng,
                                std::span<const std::uint8_t> logoPng);

// The same for the images built into the program.
LoadedImages LoadEmbeddedImages();

}  // namespace kestrix
