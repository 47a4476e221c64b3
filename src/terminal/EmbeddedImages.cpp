#include "terminal/EmbeddedImages.h"

#include <algorithm>
#include <utility>

#include "assets/EmbeddedAssets.h"
#include "terminal/PngImage.h"

namespace kestrix {
namespace {

// Decodes one image and checks its size; on failure the error reads
// "<what>: reason".
DecodedPng LoadImage(std::span<const std::uint8_t> png, const char* what,
                     int width, int height) {
  DecodedPng decoded = DecodePng(png);
  const std::optional<Raster>& image = decoded.image;
  if (image && (image->width() != width || image->height() != height)) {
    decoded.error = "is " + std::to_string(image->width()) + "x" +
                    std::to_string(image->height()) + " pixels, expected " +
                    std::to_string(width) + "x" + std::to_string(height);
    decoded.image.reset();
  }
  if (!decoded.image) decoded.error = std::string(what) + ": " + decoded.error;
  return decoded;
}

}  // namespace

LoadedImages LoadEmbeddedImages(std::span<const std::uint8_t> glyphSheetPng,
                                std::span<const std::uint8_t> logoPng) {
  DecodedPng sheet = LoadImage(glyphSheetPng, "glyph sheet", kGlyphSheetWidth,
                               kGlyphSheetHeight);
  if (!sheet.image) return {std::nullopt, std::move(sheet.error)};
  const auto pixels = std::as_const(*sheet.image).pixels();
  if (!std::all_of(pixels.begin(), pixels.end(),
                   [](Colour c) { return c == kBlack || c == kWhite; })) {
    return {std::nullopt,
            "glyph sheet: holds colours other than black and white"};
  }
  DecodedPng logo = LoadImage(logoPng, "logo", kLogoWidth, kLogoHeight);
  if (!logo.image) return {std::nullopt, std::move(logo.error)};
  return {EmbeddedImages{std::move(*sheet.image), std::move(*logo.image)}, {}};
}

LoadedImages LoadEmbeddedImages() {
  return LoadEmbeddedImages(assets::GlyphSheetPng(), assets::LogoPng());
}

}  // namespace kestrix
