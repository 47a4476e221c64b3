#pragma once

#include <string>

#include "core/Colour.h"

namespace kestrix {

// Every user choice that survives a restart, with its start-up value. The
// field names are the keys of the settings file. Flags hold 0 or 1.
struct Settings {
  int ComNr = 6;
  int FT232R = 0;
  int UseRTS = 0;
  std::string BinPath;
  int AutoDis = 1;
  int VKeys = 0;
  int TxtCurs = 1;
  int MsMoveOff = 1;
  int BaudRate = 0;
  int CRmode = 0;
  int Rows = 25;
  int Cols = 80;
  std::string Autoload;
  int InversScreenshot = 0;
  float WindowScale = 1.0f;
  Palette palette = kStartPalette;

  // Not stored: the decoder's mode switch (1 = normal terminal, 0 = device
  // display). Set together with MsMoveOff by the Normal-Terminal Mode command
  // and by every load; it mirrors that command's check mark.
  int NormalTerminalFlag = 1;
};

}  // namespace kestrix
