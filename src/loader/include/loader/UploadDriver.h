#pragma once

#include <string>

#include "core/Raster.h"
#include "loader/LoaderContext.h"
#include "loader/LoaderImage.h"
#include "settings/Settings.h"

namespace kestrix {

// The largest file that fits a Propeller 1's hub RAM (8192 longs).
inline constexpr int kMaxUploadBytes = 32768;

// 1 when the file itself is an EEPROM image: its name (the last path
// component, after this platform's separators) contains ".eeprom",
// case-sensitively. Folder names do not count.
int EepromModeFor(const std::string& path);

// Loads a Propeller 1 ".binary" (RAM) or ".eeprom" (EEPROM) file into the
// chip through its boot loader, reporting every step as a line of text.
// The image is cleared first, so nothing of an earlier upload is sent. Every
// wait keeps the window painting. A port that vanishes midway ends the
// upload with one "Hardware lost" line.
void UploadFile(const std::string& path, const LoaderContext& context,
                const Settings& settings, LoaderImage& image,
                const Raster& logo);

}  // namespace kestrix
