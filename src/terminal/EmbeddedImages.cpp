#include "terminal/EmbeddedImages.h"

#include <algorithm>
#include <utility>

#include "assets/EmbeddedAssets.h"
#include "terminal/PngImage.h"

namespace kestrix {
namespace {

// Decodes one image and checks its size; on failure writes "<what>: reason".
std::optional<Raster> LoadImage(std::span<const std::uint8_t> png,
                                const char* what, int width, int height,
                                std::string* error) {
  std::string reason;
  std::optional<Raster> image = DecodePng(png, &reason);
  if (image && (image->width() != width || image->height() != height)) {
    reason = "is " + std::to_string(image->width()) + "x" +
             std::to_string(image->height()) + " pixels, expected " +
             std::to_string(width) + "x" + std::to_string(height);
    image.reset();
  }
  if (!image && error != nullptr) *error = std::string(what) + ": " + reason;
  return image;
}

}  // namespace

std::optional<EmbeddedImages> LoadEmbeddedImages(
    std::span<const std::uint8_t> glyphSheetPng,
    std::span<const std::uint8_t> logoPng, std::string* error) {
  std::optional<Raster> sheet = LoadImage(
      glyphSheetPng, "glyph sheet", kGlyphSheetWidth, kGlyphSheetHeight, error);
  if (!sheet) return std::nullopt;
  const auto pixels = std::as_const(*sheet).pixels();
  if (!std::all_of(pixels.begin(), pixels.end(),
                   [](Colour c) { return c == kBlack || c == kWhite; })) {
    if (error != nullptr) {
      *error = "glyph sheet: holds colours other than black and white";
    }
    return std::nullopt;
  }
  std::optional<Raster> logo =
      LoadImage(logoPng, "logo", kLogoWidth, kLogoHeight, error);
  if (!logo) return std::nullopt;
  return EmbeddedImages{std::move(*sheet), std::move(*logo)};
}

std::optional<EmbeddedImages> LoadEmbeddedImages(std::string* error) {
  return LoadEmbeddedImages(assets::GlyphSheetPng(), assets::LogoPng(), error);
}

}  // namespace kestrix
