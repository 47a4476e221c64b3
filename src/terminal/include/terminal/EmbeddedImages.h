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
// other colour would tint text). On failure returns nothing and sets *error
// to a message starting "glyph sheet: " or "logo: ".
std::optional<EmbeddedImages> LoadEmbeddedImages(
    std::span<const std::uint8_t> glyphSheetPng,
    std::span<const std::uint8_t> logoPng, std::string* error);

// The same for the images built into the program.
std::optional<EmbeddedImages> LoadEmbeddedImages(std::string* error);

}  // namespace kestrix
