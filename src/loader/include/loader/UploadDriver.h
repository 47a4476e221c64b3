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

// How an upload ended. The lines printed on the way say the same to a person;
// this is for callers that must tell a script (the console upload's exit
// status).
enum class UploadOutcome {
  kRunning,      // the chip confirmed the image and runs it
  kNoPort,       // the port was not open
  kFileRefused,  // missing, unreadable or too long for the hub RAM
  kNoChip,       // no chip answered the handshake (or a wrong one did)
  kChipError,    // the chip reported a checksum, EEPROM write or verify error
};

// Loads a Propeller 1 ".binary" (RAM) or ".eeprom" (EEPROM) file into the
// chip through its boot loader, reporting every step as a line of text.
// The image is cleared first, so nothing of an earlier upload is sent.
UploadOutcome UploadFile(const std::string& path, UploadEnvironment& env);

}  // namespace kestrix
