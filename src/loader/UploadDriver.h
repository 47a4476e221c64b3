#pragma once

#include <string>

#include "loader/LoaderImage.h"
#include "settings/Settings.h"
#include "terminal/BytePort.h"
#include "terminal/Clock.h"
#include "terminal/Decoder.h"
#include "terminal/Host.h"
#include "terminal/Raster.h"

namespace kestrix {

// What an upload uses of the program. The decoder prints the status lines
// (on the screen, or on the console when it has no window), clears the
// screen and owns the screen image the banner's logo is drawn into.
struct UploadEnvironment {
  BytePort& port;
  Clock& clock;
  Host& host;
  Decoder& decoder;
  Settings& settings;
  LoaderImage& image;
  const Raster& logo;
};

// Loads a Propeller 1 ".binary" (RAM) or ".eeprom" (EEPROM) file into the
// chip through its boot loader, reporting every step as a line of text.
void UploadFile(const std::string& path, UploadEnvironment& env);

}  // namespace kestrix
