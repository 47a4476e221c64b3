// Writes the upload banner logo.
// Usage: kestrix-logo /usr/share/unifont/unifont.hex assets/Logo.png
#include <iostream>

#include "IndexedPng.h"
#include "LogoArt.h"
#include "UnifontHex.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: " << argv[0] << " unifont.hex Logo.png\n";
    return 2;
  }
  std::string error;
  const auto font = kestrix::tools::UnifontHex::Load(argv[1], &error);
  if (!font) {
    std::cerr << error << '\n';
    return 1;
  }
  const auto logo = kestrix::tools::DrawLogo(*font, &error);
  if (!logo || !kestrix::tools::WriteIndexedPng(*logo, argv[2], &error)) {
    std::cerr << error << '\n';
    return 1;
  }
  return 0;
}
