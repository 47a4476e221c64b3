// Writes the desktop icon at one size.
// Usage: kestrix-icon 256 assets/icons/kestrix-256.png
#include <cstdlib>
#include <iostream>
#include <string>

#include "IconArt.h"

int main(int argc, char** argv) {
  const int size = argc == 3 ? std::atoi(argv[1]) : 0;
  if (size < 16 || size > 1024) {
    std::cerr << "usage: " << argv[0] << " SIZE(16-1024) icon.png\n";
    return 2;
  }
  std::string error;
  if (!kestrix::tools::WriteRgbaPng(kestrix::tools::DrawIcon(size), argv[2],
                                    &error)) {
    std::cerr << error << '\n';
    return 1;
  }
  return 0;
}
