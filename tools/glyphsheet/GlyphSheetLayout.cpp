#include "GlyphSheetLayout.h"

#include <array>
#include <cstdio>

namespace kestrix::tools {
namespace {

constexpr std::uint8_t kInk = 0;
constexpr std::uint8_t kPaper = 1;

// Codes 0-13 are control codes; their cells all hold the same small ring.
constexpr char32_t kControlRing = 0x25E6;

// Codes 14-31.
constexpr std::array<char32_t, 18> kSymbols = {
    0x2588,                                          // full block
    0x2022,                                          // bullet
    0x03B1, 0x03B2, 0x03B4, 0x03C0, 0x03A3, 0x03A9,  // alpha beta delta pi
                                                     // Sigma Omega
    0x221E, 0x221A, 0x2248, 0x2260, 0x2264, 0x2265,  // infinity root approx
                                                     // not-equal le ge
    0x2190, 0x2191, 0x2192, 0x2193,                  // arrows
};

// Code 127.
constexpr char32_t kHatchedBlock = 0x2592;

// Codes 128-159: single frames, double frames, then the mixed tees and
// crosses that join single dividers to double frames and back.
constexpr std::array<char32_t, 32> kLinePieces = {
    0x2500, 0x2502, 0x250C, 0x2510, 0x2514, 0x2518, 0x251C, 0x2524,
    0x252C, 0x2534, 0x253C, 0x2550, 0x2551, 0x2554, 0x2557, 0x255A,
    0x255D, 0x2560, 0x2563, 0x2566, 0x2569, 0x256C, 0x255E, 0x2561,
    0x255F, 0x2562, 0x2564, 0x2565, 0x2567, 0x2568, 0x256A, 0x256B,
};

// Unifont draws the soft hyphen as a wide "SHY" box; a plain hyphen fits.
constexpr char32_t kSoftHyphen = 0x00AD;
constexpr char32_t kNarrowHyphen = 0x2010;

}  // namespace

GlyphSource GlyphSourceFor(int code) {
  if (code < 14) return {kControlRing, SpareRow::kBlank};
  if (code < 32) {
    const char32_t cp = kSymbols[static_cast<std::size_t>(code - 14)];
    return {cp, cp == 0x2588 ? SpareRow::kRepeatLast : SpareRow::kBlank};
  }
  if (code < 127) return {static_cast<char32_t>(code), SpareRow::kBlank};
  if (code == 127) return {kHatchedBlock, SpareRow::kRepeatPeriod2};
  if (code < 160) {
    return {kLinePieces[static_cast<std::size_t>(code - 128)],
            SpareRow::kRepeatLast};
  }
  if (code == kSoftHyphen) return {kNarrowHyphen, SpareRow::kBlank};
  return {static_cast<char32_t>(code), SpareRow::kBlank};
}

std::optional<IndexedImage> BuildGlyphSheet(const UnifontHex& font,
                                            std::string* error) {
  IndexedImage sheet;
  sheet.width = kSheetWidth;
  sheet.height = kSheetHeight;
  sheet.pixels.assign(static_cast<std::size_t>(kSheetWidth) * kSheetHeight,
                      kPaper);
  sheet.palette = {{0, 0, 0}, {255, 255, 255}};

  for (int code = 0; code < 256; ++code) {
    const GlyphSource source = GlyphSourceFor(code);
    const NarrowGlyph* glyph = font.Find(source.codePoint);
    if (glyph == nullptr) {
      char text[96];
      std::snprintf(text, sizeof text, "U+%04X (code %d) is %s",
                    static_cast<unsigned>(source.codePoint), code,
                    font.IsWide(source.codePoint) ? "double width"
                                                  : "missing from the font");
      *error = text;
      return std::nullopt;
    }
    std::array<std::uint8_t, kCellHeight> rows{};
    for (std::size_t r = 0; r < glyph->size(); ++r) rows[r] = (*glyph)[r];
    switch (source.spareRow) {
      case SpareRow::kBlank:
        rows[16] = 0;
        break;
      case SpareRow::kRepeatLast:
        rows[16] = rows[15];
        break;
      case SpareRow::kRepeatPeriod2:
        rows[16] = rows[14];
        break;
    }
    const int left = code % kCellsPerRow * kCellWidth;
    const int top = code / kCellsPerRow * kCellHeight;
    for (int r = 0; r < kCellHeight; ++r) {
      for (int bit = 0; bit < kCellWidth; ++bit) {
        const bool ink = (rows[static_cast<std::size_t>(r)] >> (7 - bit)) & 1;
        sheet.pixels[static_cast<std::size_t>(top + r) * kSheetWidth +
                     static_cast<std::size_t>(left + bit)] =
            ink ? kInk : kPaper;
      }
    }
  }
  return sheet;
}

}  // namespace kestrix::tools
