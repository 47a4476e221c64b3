#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace kestrix {

// Eight colour references (0x00BBGGRR), selected by the low three bits of the
// text colour.
using Palette = std::array<std::uint32_t, 8>;

inline constexpr Palette kStartPalette = {
    0xFFFFFF,  // white
    0xFFFF00,  // cyan
    0x0000FF,  // red
    0xFF00FF,  // magenta
    0xFF0000,  // blue
    0x00FF00,  // green
    0x00FFFF,  // yellow
    0xC0C0C0,  // light grey
};

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
