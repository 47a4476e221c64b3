#pragma once

#include <filesystem>
#include <string>

#include "settings/Settings.h"

namespace kestrix {

// The settings file's default name, looked up in the working folder.
inline constexpr char kDefaultSettingsFile[] = "Kestrix2.ini";

// Reads the [Config] and [Colors] groups into `settings`. Keys that are
// absent take the reader's defaults, which differ from the start-up values
// for FT232R (1), AutoDis (0) and BaudRate (1); ComNr and BinPath keep their
// current value. A colour
// key drops its first character and converts the rest with HexValue; an
// absent or empty colour key leaves the entry. Values are kept as read, with
// no range checks (see EffectiveGeometry for the screen bounds). A missing or
// unreadable file changes nothing.
void LoadSettings(const std::filesystem::path& path, Settings& settings);

// The whole file text that SaveSettings writes, lines ended by CR LF.
// "Autoload" is always written empty.
std::string FormatSettings(const Settings& settings);

// Writes FormatSettings to `path` through a temporary file in the same folder
// that is then renamed over the target, so a failed save leaves any old file
// whole. Returns false when the file could not be written.
bool SaveSettings(const std::filesystem::path& path,
                  const Settings& settings);

}  // namespace kestrix
