// Writes the terminal's glyph sheet from GNU Unifont.
// Usage: kestrix-glyphsheet /usr/share/unifont/unifont.hex
// assets/GlyphSheet.png
#include <iostream>

#include "GlyphSheetLayout.h"
#include "IndexedPng.h"
#include "UnifontHex.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: " << argv[0] << " unifont.hex GlyphSheet.png\n";
    return 2;
  }
  std::string error;
  const auto font = kestrix::tools::UnifontHex::Load(argv[1], &error);
  if (!font) {
    std::cerr << error << '\n';
    return 1;
  }
  const auto sheet = kestrix::tools::BuildGlyphSheet(*font, &error);
  if (!sheet || !kestrix::tools::WriteIndexedPng(*sheet, argv[2], &error)) {
    std::cerr << error << '\n';
    return 1;
  }
  return 0;
}
