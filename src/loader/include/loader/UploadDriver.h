#pragma once

#include <string>

#include "core/Raster.h"
#include "loader/LoaderImage.h"
#include "loader/TransferContext.h"

namespace kestrix {

// The largest file that fits a Propeller 1's hub RAM (8192 longs).
inline constexpr int kMaxUploadBytes = 32768;

// 1 when the file itself is an EEPROM image: its name (the last path
// component, after this platform's separators) contains ".eeprom",
// case-sensitively. Folder names do not count.
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
  kPortLost,     // the port vanished midway ("Hardware lost")
};

// Loads a Propeller 1 ".binary" (RAM) or ".eeprom" (EEPROM) file into the
// chip through its boot loader, reporting every step as a line of text.
// The image is cleared first, so nothing of an earlier upload is sent. Every
// wait keeps the window painting. A port that vanishes midway ends the
// upload with one "Hardware lost" line. The chip is reset on RTS when
// `useRts` is set, on DTR otherwise.
UploadOutcome UploadFile(const std::string& path, const TransferContext& context,
                         bool useRts, LoaderImage& image, const Raster& logo);

}  // namespace kestrix
