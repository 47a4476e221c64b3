#pragma once

#include <string>

#include "core/BytePort.h"
#include "core/Clock.h"
#include "core/Host.h"
#include "core/Raster.h"
#include "core/TextOutput.h"
#include "loader/LoaderImage.h"
#include "settings/Settings.h"

namespace kestrix {

// What an upload uses of the program. The output prints the status lines
// (on the screen, or on the console when there is no window), clears the
// screen and shows the banner's logo.
struct UploadEnvironment {
  BytePort& port;
  Clock& clock;
  Host& host;
  TextOutput& output;
  Settings& settings;
  LoaderImage& image;
  const Raster& logo;
};

// The largest file that fits a Propeller 1's hub RAM (8192 longs).
inline constexpr int kMaxUploadBytes = 32768;

// 1 when the file itself is an EEPROM image: its name (the last path
// component, after '/' or '\') contains ".eeprom", case-sensitively. Folder
// names do not count.
int EepromModeFor(const std::string& path);

// Loads a Propeller 1 ".binary" (RAM) or ".eeprom" (EEPROM) file into the
// chip through its boot loader, reporting every step as a line of text.
// The image is cleared first, so nothing of an earlier upload is sent.
void UploadFile(const std::string& path, UploadEnvironment& env);

}  // namespace kestrix
