#pragma once

#include <string>

#include "core/Colour.h"

namespace kestrix {

// Every user choice that survives a restart, with its start-up value: what
// the settings file is read into and written from. The
// field names are the keys of the settings file. A flag key reads as on for
// any value but 0 and is written back as 1 or 0.
struct Settings {
  int ComNr = 6;
  bool FT232R = false;
  bool UseRTS = false;
  std::string BinPath;
  bool AutoDis = true;
  bool VKeys = false;
  bool TxtCurs = true;
  bool MsMoveOff = true;
  int BaudRate = 0;
  bool CRmode = false;
  int Rows = 25;
  int Cols = 80;
  std::string Autoload;
  bool InversScreenshot = false;
  float WindowScale = 1.0f;
  Palette palette = kStartPalette;
};

}  // namespace kestrix
