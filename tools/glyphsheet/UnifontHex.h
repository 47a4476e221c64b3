#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace kestrix::tools {

// One 8x16 Unifont glyph: 16 rows, the most significant bit is the leftmost
// pixel, a set bit is ink.
using NarrowGlyph = std::array<std::uint8_t, 16>;

// The narrow (8-pixel) glyphs of a GNU Unifont .hex file. Wide glyphs are
// remembered only by code point, so a lookup can say why it failed.
class UnifontHex {
 public:
  // Reads "XXXX:hexdigits" lines. Returns nothing and sets *error when the
  // file cannot be read or a line is malformed.
  static std::optional<UnifontHex> Load(const std::string& path,
                                        std::string* error);

  // Nullptr when the code point is absent or double width.
  const NarrowGlyph* Find(char32_t codePoint) const;
  bool IsWide(char32_t codePoint) const;

 private:
  std::map<char32_t, NarrowGlyph> narrow_;
  std::map<char32_t, bool> wide_;
};

}  // namespace kestrix::tools
